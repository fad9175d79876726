#include "fetch/FetchPage.h"

#include <windows.h>

#include <memory>

#include "fetch/FetchRecords.h"
#include "fetch/FetchWorker.h"
#include "fetch/MessageWait.h"
#include "fetch/WinHandle.h"

namespace {

constexpr int kDefaultTimeoutSeconds = 10;

FetchRequest RequestFor(const Text& url, const FetchOptions& o) {
  FetchRequest rq;
  rq.url = url;
  rq.verb = o.verb.value_or(Text());
  rq.proxy = o.proxy.value_or(Text());
  rq.userName = o.userName.value_or(Text());
  rq.password = o.password.value_or(Text());
  rq.extraHeaders = o.extraHeaders.value_or(Text());
  rq.postData = o.postData.value_or(Text());
  return rq;
}

}  // namespace

Bytes FetchPage(const Text& url, const FetchOptions& options) {
  if (options.rawHeaders) options.rawHeaders->clear();
  // The program is ending: no new worker.
  if (QuitQueued()) return Bytes();

  auto exchange = std::make_shared<FetchExchange>();
  WriteFetchRequest(exchange->stream, RequestFor(url, options));

  // Absent, 0 (and a negative value, which no caller passes) mean the default.
  int seconds = options.timeoutSeconds.value_or(0);
  if (seconds <= 0) seconds = kDefaultTimeoutSeconds;

  const ULONGLONG timeoutMs = static_cast<ULONGLONG>(seconds) * 1000;
  exchange->deadline = GetTickCount64() + timeoutMs;

  auto* workerShare = new std::shared_ptr<FetchExchange>(exchange);
  UniqueHandle thread(CreateThread(nullptr, 0, FetchWorker, workerShare, 0, nullptr));
  if (!thread) {
    delete workerShare;
    return Bytes();
  }

  WaitEnd end = WaitDispatchingMessages(thread.Get(), timeoutMs);
  if (end != WaitEnd::kSignalled) {
    // The worker may still run; it keeps its share of the exchange and ends
    // on its own once its handles are closed.
    exchange->Abandon();
    return Bytes();
  }

  FetchReply reply;
  ReadFetchReply(exchange->stream, reply);
  if (CompareText(reply.marker, kReplyMarker) != 0) return Bytes();
  if (options.rawHeaders) *options.rawHeaders = reply.rawHeaders;
  return reply.body;
}
