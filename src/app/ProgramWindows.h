// The program's open top-level windows: the message loop ends when the last
// one has closed, so a window that outlives the main one keeps the process up.
#pragma once
#include <windows.h>
#include <vector>

class ProgramWindows {
 public:
  void Add(HWND window);
  // Posts the quit message when the last window has gone.
  void Remove(HWND window);
  int Count() const { return static_cast<int>(windows_.size()); }

 private:
  std::vector<HWND> windows_;
};

// Runs until the quit message; returns its exit code. Dialog keys work in
// every window with WS_EX_CONTROLPARENT, as during a page fetch.
int RunMessageLoop();
