#include "app/ProgramWindows.h"
#include <algorithm>

void ProgramWindows::Add(HWND window, bool dialogKeys) {
  windows_.push_back({window, dialogKeys});
}

void ProgramWindows::Remove(HWND window) {
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [window](const Entry& e) { return e.window == window; });
  if (it == windows_.end()) return;
  windows_.erase(it);
  if (windows_.empty()) PostQuitMessage(0);
}

bool ProgramWindows::TranslateDialogKeys(MSG& msg) const {
  for (const Entry& e : windows_) {
    if (e.dialogKeys && IsDialogMessageA(e.window, &msg)) return true;
  }
  return false;
}

void DispatchProgramMessage(const ProgramWindows& windows, MSG& msg) {
  if (windows.TranslateDialogKeys(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

int RunMessageLoop(const ProgramWindows& windows) {
  MSG msg;
  for (;;) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return 1;
    DispatchProgramMessage(windows, msg);
  }
}
