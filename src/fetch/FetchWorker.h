// The HTTP exchange of one fetch, run on a worker thread through WinInet,
// and the exchange object that the fetch call and its worker share.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <memory>

#include "fetch/MemoryStream.h"

// A WinInet handle of the worker, published so that the fetch call can close
// it to cut a blocking call short. Whoever takes it out closes it, so it is
// closed exactly once.
class PublishedInternetHandle {
 public:
  PublishedInternetHandle() = default;
  PublishedInternetHandle(const PublishedInternetHandle&) = delete;
  PublishedInternetHandle& operator=(const PublishedInternetHandle&) = delete;
  ~PublishedInternetHandle() { Close(); }

  void Publish(HINTERNET h) { handle_.store(h); }
  void Close() {
    if (HINTERNET h = handle_.exchange(nullptr)) InternetCloseHandle(h);
  }

 private:
  std::atomic<HINTERNET> handle_{nullptr};
};

// Owned jointly by the call and its worker (std::shared_ptr), so a worker
// that outlives a timed-out call still finishes on valid memory.
struct FetchExchange {
  MemoryStream stream;  // the request, then the reply
  // GetTickCount64 time at which the call gives up; 0: none. WinInet's own
  // time-outs are kept within it, so a worker whose blocking call the closed
  // handles do not cut short (Wine's WinInet) still ends soon after.
  ULONGLONG deadline = 0;
  std::atomic<bool> abandoned{false};
  PublishedInternetHandle request, connection, internet;

  // The call has given up: from now on nothing the worker does reaches it.
  // Closing the published handles makes the worker's blocking calls fail
  // (on Windows; Wine's WinInet lets them run to its time-outs, which the
  // worker keeps within the deadline). The worker looks at `abandoned` after
  // each blocking call and then uses no handle again, since a closed handle's
  // value may already belong to another fetch.
  void Abandon() {
    abandoned.store(true);
    request.Close();
    connection.Close();
    internet.Close();
  }
};

// The worker's run on a prepared exchange: reads the FetchRequest, makes the
// request, writes the FetchReply in its place and stores the response's
// cookies. 1 after a full run, 0 after an early stop (wrong marker, no
// handle, a verb other than GET or POST, or an abandoned exchange).
int RunFetchWorker(FetchExchange& exchange);

// Thread procedure. The argument is a heap-allocated
// std::shared_ptr<FetchExchange>, which the worker deletes when it ends;
// without one it returns 0 at once.
DWORD WINAPI FetchWorker(LPVOID exchange);
