// Start-up and end of the program: the user-interface layer, the settings,
// the main window with its created handler, and the message loop.
#pragma once
#include <windows.h>
#include "app/MainWindow.h"
#include "app/ProgramWindows.h"
#include "app/ThemedLook.h"
#include "query/Settings.h"

// Common controls and OLE (the banner picture) for the calling thread.
class UserInterfaceLayer {
 public:
  UserInterfaceLayer();
  ~UserInterfaceLayer();
  UserInterfaceLayer(const UserInterfaceLayer&) = delete;
  UserInterfaceLayer& operator=(const UserInterfaceLayer&) = delete;

 private:
  bool oleStarted_ = false;
};

class App {
 public:
  App();
  // Creates the main window, runs its created handler and shows it; false
  // when the main window cannot be created.
  bool Start(HINSTANCE instance);
  // The message loop: returns when the last window of the program has closed.
  int Run();

  MainWindow& Main() { return main_; }
  ProgramWindows& Windows() { return windows_; }
  const ThemedLook& Look() const { return look_; }

 private:
  void OnMainWindowCreated();

  QuerySettings settings_;
  ProgramWindows windows_;
  ThemedLook look_;
  MainWindow main_;
};
