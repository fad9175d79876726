// Waiting for a handle on a thread that owns windows: every window message
// that arrives meanwhile is dispatched, so the windows stay responsive.
#pragma once
#include <windows.h>

enum class WaitEnd {
  kSignalled,  // the handle was signalled
  kTimedOut,   // the deadline passed
  kQuit,       // a WM_QUIT is queued: the program is ending (it stays queued)
  kFailed,     // the wait itself failed
};

// Waits at most timeoutMs in total, however many messages arrive: each wait
// uses only the time that is left. After every wake-up all pending messages
// are dispatched, stopping before a WM_QUIT.
WaitEnd WaitDispatchingMessages(HANDLE handle, ULONGLONG timeoutMs);

// Dispatches one message. A message for a window whose top-level window has
// WS_EX_CONTROLPARENT goes through IsDialogMessageA first, so Tab keeps
// moving the focus; the program's main loop and the waits share this rule.
void DispatchWindowMessage(MSG& msg);

// Dispatches every pending message of the calling thread until none is left
// or the next is a WM_QUIT, which stays queued. Returns true when a WM_QUIT
// is queued.
bool DispatchPendingMessages();

// True when a WM_QUIT is queued for the calling thread (left in the queue).
bool QuitQueued();
