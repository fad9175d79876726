#include "fetch/FetchWorker.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "fetch/FetchHeaders.h"
#include "fetch/FetchRecords.h"
#include "fetch/Url.h"

namespace {

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr char kProxyPrefix[] = "http=";
constexpr char kHttpVersion[] = "HTTP/1.1";
constexpr DWORD kReadBlock = 512;
constexpr DWORD kHeaderBuffer = 1024;
constexpr DWORD kTimeoutSlackMs = 500;

// Closes whatever handles the worker still holds, request first.
int Stop(FetchExchange& ex) {
  ex.request.Close();
  ex.connection.Close();
  ex.internet.Close();
  return 0;
}

// A handle is published before it is used; if the call gave up in between,
// the handle is closed here (or by the call) and the worker stops.
bool Publish(FetchExchange& ex, PublishedInternetHandle& slot, HINTERNET h) {
  slot.Publish(h);
  return !ex.abandoned.load();
}

// The raw header block as a text. A block that needs more than the first
// 1024 bytes is queried again with the size WinInet asks for; any other
// failure leaves the 1024 spaces.
Text QueryRawHeaders(HINTERNET request) {
  std::vector<char> buffer(kHeaderBuffer + 1, ' ');
  buffer[kHeaderBuffer] = '\0';
  DWORD size = kHeaderBuffer;
  if (HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &size, nullptr))
    return Text(buffer.data());
  if (GetLastError() == ERROR_INSUFFICIENT_BUFFER && size > kHeaderBuffer) {
    std::vector<char> whole(size + 1, '\0');
    DWORD wholeSize = size;
    if (HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, whole.data(), &wholeSize, nullptr))
      return Text(whole.data());
  }
  return BlankText(kHeaderBuffer);
}

// No blocking WinInet call may outlast the call's deadline by much: WinInet's
// own time-outs are shortened to the time left (never lengthened).
void LimitTimeouts(HINTERNET handle, ULONGLONG deadline) {
  if (deadline == 0) return;
  ULONGLONG now = GetTickCount64();
  DWORD left = static_cast<DWORD>(
      std::min<ULONGLONG>(deadline > now ? deadline - now : 0, 0x7FFFFFFF) + kTimeoutSlackMs);
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    DWORD current = 0, size = sizeof current;
    if (InternetQueryOptionA(handle, option, &current, &size) && current != 0 && current <= left)
      continue;
    InternetSetOptionA(handle, option, &left, sizeof left);
  }
}

}  // namespace

int RunFetchWorker(FetchExchange& ex) {
  FetchRequest rq;
  ReadFetchRequest(ex.stream, rq);
  if (CompareText(rq.marker, kRequestMarker) != 0) return 0;
  ex.stream.SeekToStart();
  ex.stream.RemoveAll();

  const Text host = UrlHost(rq.url, false);
  const Text path = UrlPath(rq.url);

  const bool useProxy = !IsBlank(rq.proxy);
  const Text proxyName = ConcatText({kProxyPrefix, rq.proxy});
  HINTERNET internet =
      InternetOpenA(kUserAgent, useProxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_DIRECT,
                    useProxy ? proxyName.c_str() : nullptr, nullptr, 0);
  if (!internet) return 0;
  if (!Publish(ex, ex.internet, internet)) return Stop(ex);
  LimitTimeouts(internet, ex.deadline);

  const int port = UrlPort(rq.url);
  // A port WinInet cannot take would wrap around to another one.
  if (port < 0 || port > 0xFFFF) return Stop(ex);
  HINTERNET connection = InternetConnectA(
      internet, host.c_str(), static_cast<INTERNET_PORT>(port),
      IsBlank(rq.userName) ? nullptr : rq.userName.c_str(),
      IsBlank(rq.password) ? nullptr : rq.password.c_str(), INTERNET_SERVICE_HTTP, 0, 0);
  if (!connection) return Stop(ex);
  if (!Publish(ex, ex.connection, connection)) return Stop(ex);

  HINTERNET request = HttpOpenRequestA(connection, CStrOrNull(rq.verb), path.c_str(),
                                       kHttpVersion, nullptr, nullptr, INTERNET_FLAG_RELOAD, 0);
  if (!request) return Stop(ex);
  if (!Publish(ex, ex.request, request)) return Stop(ex);
  LimitTimeouts(request, ex.deadline);

  Text headers = RequestHeaders(rq.extraHeaders, rq.url);
  switch (ClassifyVerb(rq.verb)) {
    case FetchVerb::kGet:
      HttpSendRequestA(request, headers.c_str(), static_cast<DWORD>(headers.size()), nullptr, 0);
      break;
    case FetchVerb::kPost:
      if (!rq.postData.empty()) headers = PostHeaders(headers, rq.postData);
      HttpSendRequestA(request, headers.c_str(), static_cast<DWORD>(headers.size()),
                       rq.postData.empty() ? nullptr : rq.postData.data(),
                       static_cast<DWORD>(rq.postData.size()));
      break;
    case FetchVerb::kOther:
      return Stop(ex);
  }
  if (ex.abandoned.load()) return Stop(ex);

  MemoryStream body;
  std::vector<char> block(kReadBlock);
  for (;;) {
    DWORD count = 0;
    // A failed read ends the body; its count is never trusted.
    if (!InternetReadFile(request, block.data(), kReadBlock, &count)) count = 0;
    if (ex.abandoned.load()) return Stop(ex);
    if (count == 0) break;
    body.WriteBytes(Bytes(block.data(), std::min(count, kReadBlock)));
  }

  FetchReply reply;
  reply.rawHeaders = QueryRawHeaders(request);
  body.SeekToStart();
  reply.body = body.ReadBytes(body.Length());
  if (ex.abandoned.load()) return Stop(ex);
  WriteFetchReply(ex.stream, reply);

  Stop(ex);

  // A call that has given up gets nothing more, cookies included.
  if (ex.abandoned.load()) return 0;
  const Text address = CookieAddress(host);
  for (const StoredCookie& c : CookiesToStore(reply.rawHeaders))
    InternetSetCookieA(address.c_str(), CStrOrNull(c.name), c.data.c_str());
  return 1;
}

DWORD WINAPI FetchWorker(LPVOID exchange) {
  if (!exchange) return 0;
  std::unique_ptr<std::shared_ptr<FetchExchange>> owner(
      static_cast<std::shared_ptr<FetchExchange>*>(exchange));
  if (!*owner) return 0;
  return static_cast<DWORD>(RunFetchWorker(**owner));
}
