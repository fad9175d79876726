#include "app/ProgramWindows.h"
#include <algorithm>
#include "fetch/MessageWait.h"

void ProgramWindows::Add(HWND window) { windows_.push_back(window); }

void ProgramWindows::Remove(HWND window) {
  auto it = std::find(windows_.begin(), windows_.end(), window);
  if (it == windows_.end()) return;
  windows_.erase(it);
  if (windows_.empty()) PostQuitMessage(0);
}

int RunMessageLoop() {
  MSG msg;
  for (;;) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return 1;
    DispatchWindowMessage(msg);
  }
}
