#include "fetch/MessageWait.h"

#include <algorithm>

void DispatchWindowMessage(MSG& msg) {
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (root && (GetWindowLongPtrA(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) &&
      IsDialogMessageA(root, &msg))
    return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

bool QuitQueued() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

bool DispatchPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) return true;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) break;
    if (msg.message == WM_QUIT) {
      // Posted between the two looks: put it back for the message loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return true;
    }
    DispatchWindowMessage(msg);
  }
  return false;
}

WaitEnd WaitDispatchingMessages(HANDLE handle, ULONGLONG timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    ULONGLONG now = GetTickCount64();
    DWORD left = now >= deadline
                     ? 0
                     : static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, INFINITE - 1));
    DWORD r = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_ALLEVENTS);
    bool quit = DispatchPendingMessages();
    if (r == WAIT_OBJECT_0) return WaitEnd::kSignalled;
    if (r == WAIT_TIMEOUT) return WaitEnd::kTimedOut;
    if (r != WAIT_OBJECT_0 + 1) return WaitEnd::kFailed;
    if (quit) return WaitEnd::kQuit;
    // Input that keeps arriving must not hold the call past its deadline.
    if (GetTickCount64() >= deadline)
      return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0 ? WaitEnd::kSignalled
                                                             : WaitEnd::kTimedOut;
  }
}
