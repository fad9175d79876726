// The program's open top-level windows: the message loop ends when the last
// one has closed, so a window that outlives the main one keeps the process up.
#pragma once
#include <windows.h>
#include <vector>

class ProgramWindows {
 public:
  // dialogKeys: Tab and the other dialog keys move between its controls.
  void Add(HWND window, bool dialogKeys);
  // Posts the quit message when the last window has gone.
  void Remove(HWND window);
  int Count() const { return static_cast<int>(windows_.size()); }
  // True when the message was a dialog key of one of the windows and is done.
  bool TranslateDialogKeys(MSG& msg) const;

 private:
  struct Entry {
    HWND window;
    bool dialogKeys;
  };
  std::vector<Entry> windows_;
};

// One message of the loop: the dialog keys first, then the window's own.
void DispatchProgramMessage(const ProgramWindows& windows, MSG& msg);
// Runs until the quit message; returns its exit code.
int RunMessageLoop(const ProgramWindows& windows);
