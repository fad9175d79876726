#include "fetch/FetchPage.h"

#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <atomic>
#include <thread>

#include "FetchTestSupport.h"
#include "fetch/MessageWait.h"

namespace {

using namespace std::string_literals;
using loopback::Reply;

const std::string kAccept =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*";
const std::string kLanguage = "Accept-Language: zh-cn";

class FetchPageTest : public ::testing::Test {
 protected:
  loopback::Server server_;
};

TEST_F(FetchPageTest, RequestBytes) {
  struct Case {
    const char* name;
    std::optional<Text> verb, extraHeaders, postData;
    std::string requestLine;  // with the path /page?q=1
    std::vector<std::string> lines;  // {referer} stands for the Referer line
    std::string body;
  };
  const std::string referer = "{referer}";
  const std::string type = "Content-Type: application/x-www-form-urlencoded";
  const Case cases[] = {
      {"GET with no extra headers", {}, {}, {}, "GET /page?q=1 HTTP/1.1",
       {kAccept, referer, kLanguage}, ""},
      {"extra Accept in lower case", {}, "accept: text/html\r\n"s, {}, "GET /page?q=1 HTTP/1.1",
       {"accept: text/html", referer, kLanguage}, ""},
      {"Accept inside an X-Accept line", {}, "X-Accept: yes\r\n"s, {}, "GET /page?q=1 HTTP/1.1",
       {"X-Accept: yes", referer, kLanguage}, ""},
      {"extra Referer and Accept-Language", ""s, "Referer: http://r/\r\naccept-language: en\r\n"s,
       {}, "GET /page?q=1 HTTP/1.1",
       {"Referer: http://r/", "accept-language: en", kAccept}, ""},
      {"POST with seven bytes", "POST"s, {}, "a=1&b=2"s, "POST /page?q=1 HTTP/1.1",
       {kAccept, referer, kLanguage, type, "Content-Length: 7"}, "a=1&b=2"},
      {"POST with none", "POST"s, {}, {}, "POST /page?q=1 HTTP/1.1",
       {kAccept, referer, kLanguage}, ""},
      {"lower-case get", "get"s, {}, {}, "get /page?q=1 HTTP/1.1",
       {kAccept, referer, kLanguage}, ""},
      {"lower-case post", "post"s, "Content-Type: text/plain\r\n"s, "xyz"s,
       "post /page?q=1 HTTP/1.1",
       {"Content-Type: text/plain", kAccept, referer, kLanguage, "Content-Length: 3"}, "xyz"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = server_.Requests().size();
    const Text url = server_.Url("/page?q=1");
    FetchOptions o;
    o.verb = c.verb;
    o.extraHeaders = c.extraHeaders;
    o.postData = c.postData;
    EXPECT_EQ(FetchPage(url, o), "ok");
    std::vector<std::string> requests = server_.Requests();
    ASSERT_EQ(requests.size(), before + 1);
    const std::string& raw = requests.back();
    EXPECT_EQ(loopback::RequestLine(raw), c.requestLine);
    std::vector<std::string> expected = c.lines;
    for (std::string& line : expected)
      if (line == referer) line = "Referer: " + url;
    EXPECT_EQ(OwnHeaderLines(raw), expected);
    EXPECT_EQ(loopback::HeaderValue(raw, "User-Agent"),
              "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    EXPECT_EQ(loopback::RequestBody(raw), c.body);
  }
}

TEST_F(FetchPageTest, OtherVerbsSendNothingAndGiveNothing) {
  for (const char* verb : {"PUT", "HEAD", "delete"}) {
    SCOPED_TRACE(verb);
    Text headers = "left over";
    FetchOptions o;
    o.verb = verb;
    o.rawHeaders = &headers;
    EXPECT_EQ(FetchPage(server_.Url("/v"), o), "");
    EXPECT_EQ(headers, "");
  }
  // The workers have ended when the calls return: nothing can arrive later.
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(FetchPageTest, Proxy) {
  FetchOptions o;
  o.proxy = "127.0.0.1:" + std::to_string(server_.Port());
  EXPECT_EQ(FetchPage("http://fetch.example/page?x=1", o), "ok");
  ASSERT_EQ(server_.Requests().size(), 1u);
  const std::string raw = server_.Requests()[0];
  // WinInet names the port in the absolute form.
  EXPECT_EQ(loopback::RequestLine(raw), "GET http://fetch.example:80/page?x=1 HTTP/1.1");
  EXPECT_EQ(loopback::HeaderValue(raw, "Referer"), "http://fetch.example/page?x=1");

  // Spaces only: a direct connection to the address's own host.
  o.proxy = "   ";
  EXPECT_EQ(FetchPage(server_.Url("/direct"), o), "ok");
  ASSERT_EQ(server_.Requests().size(), 2u);
  EXPECT_EQ(loopback::RequestLine(server_.Requests()[1]), "GET /direct HTTP/1.1");
}

TEST_F(FetchPageTest, Replies) {
  std::string large;
  for (int i = 0; large.size() < 100000; ++i) large += "line " + std::to_string(i) + "\n";
  struct Case {
    const char* name;
    Reply reply;
    Bytes body;
    std::string status;
  };
  const Case cases[] = {
      {"small pieces with pauses",
       loopback::RespondInPieces("200 OK", std::string(1500, 'p') + "end", 97, 2), 
       std::string(1500, 'p') + "end", "HTTP/1.1 200 OK"},
      {"zero bytes inside", loopback::Respond("200 OK", "a\0b\0\0c"s), "a\0b\0\0c"s,
       "HTTP/1.1 200 OK"},
      {"empty body", loopback::Respond("200 OK", ""), "", "HTTP/1.1 200 OK"},
      {"error page", loopback::Respond("404 Not Found", "<h1>gone</h1>"), "<h1>gone</h1>",
       "HTTP/1.1 404 Not Found"},
      {"close in the middle of a body", loopback::RespondCut("only part", 5000), "only part",
       "HTTP/1.1 200 OK"},
      {"large body", loopback::Respond("200 OK", large), large, "HTTP/1.1 200 OK"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server_.Script(c.reply);
    Text headers;
    FetchOptions o;
    o.rawHeaders = &headers;
    Bytes body = FetchPage(server_.Url("/r"), o);
    EXPECT_EQ(body.size(), c.body.size());
    EXPECT_TRUE(body == c.body);
    EXPECT_EQ(headers.substr(0, headers.find("\r\n")), c.status);
    EXPECT_EQ(headers.substr(headers.size() >= 4 ? headers.size() - 4 : 0), "\r\n\r\n");
  }
}

TEST_F(FetchPageTest, ClosedPortGivesAnEmptyBody) {
  Text headers = "left over";
  FetchOptions o;
  o.rawHeaders = &headers;
  o.timeoutSeconds = 5;
  ULONGLONG start = Now();
  EXPECT_EQ(FetchPage("http://127.0.0.1:" + std::to_string(loopback::UnusedPort()) + "/", o), "");
  EXPECT_LT(Now() - start, 5000u);
  // The reply exists but holds no response: no status line came back.
  EXPECT_EQ(headers.find("HTTP/"), std::string::npos);
}

TEST_F(FetchPageTest, CookieOfOneResponseGoesWithTheNextRequestToTheHost) {
  struct Case {
    const char* name;
    std::string cookie;
    size_t filler;  // bytes of an extra header line
  };
  const Case cases[] = {
      {"small header block", "fetchA=one; path=/", 0},
      {"header block over 1024 bytes", "fetchB=two; path=/", 3000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string extra = "Set-Cookie: " + c.cookie + "\r\n";
    if (c.filler) extra = "X-Filler: " + std::string(c.filler, 'f') + "\r\n" + extra;
    server_.Script(loopback::Respond("200 OK", "first", extra));
    Text headers;
    FetchOptions o;
    o.rawHeaders = &headers;
    // Set under a directory: only the fetch's own storing, which files
    // cookies under the host's root, makes it go with a request elsewhere.
    EXPECT_EQ(FetchPage(server_.Url("/dir/first"), o), "first");
    EXPECT_GT(headers.size(), c.filler);
    EXPECT_NE(headers.find("Set-Cookie: " + c.cookie), std::string::npos);
    EXPECT_EQ(FetchPage(server_.Url("/other")), "ok");
    std::vector<std::string> requests = server_.Requests();
    ASSERT_FALSE(requests.empty());
    std::string name = c.cookie.substr(0, c.cookie.find(';'));
    EXPECT_NE(loopback::HeaderValue(requests.back(), "Cookie").find(name), std::string::npos)
        << requests.back();
  }
}

TEST_F(FetchPageTest, ZeroOrNegativeTimeoutMeansTheDefault) {
  for (int seconds : {0, -1}) {
    SCOPED_TRACE(seconds);
    Reply late = loopback::Respond("200 OK", "late");
    late.insert(late.begin(), loopback::Pause(1200));
    server_.Script(late);
    FetchOptions o;
    o.timeoutSeconds = seconds;
    EXPECT_EQ(FetchPage(server_.Url("/late"), o), "late");
  }
}

// A message-only window that counts what reaches it during a wait.
class MessageCounter {
 public:
  static constexpr UINT kPosted = WM_APP + 1;

  MessageCounter() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FetchTestCounter";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowA("FetchTestCounter", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          wc.hInstance, this);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~MessageCounter() { DestroyWindow(hwnd_); }

  HWND hwnd() const { return hwnd_; }
  std::atomic<int> timers{0}, posted{0};
  int quitAfterTimers = 0;  // 0: never

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<MessageCounter*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (self && m == WM_TIMER) {
      if (++self->timers == self->quitAfterTimers) PostQuitMessage(7);
      return 0;
    }
    if (self && m == kPosted) {
      ++self->posted;
      return 0;
    }
    return DefWindowProcA(h, m, w, l);
  }
  HWND hwnd_;
};

bool TakeQuit(int& code) {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
  code = static_cast<int>(msg.wParam);
  return true;
}

TEST_F(FetchPageTest, TimeOutReturnsEmptyAtTheDeadline) {
  struct Case {
    const char* name;
    Reply reply;
    int seconds;
  };
  const Case cases[] = {
      {"silent server", loopback::Silent(), 1},
      {"silent in the middle of a body",
       {loopback::Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nsome"), loopback::Hold()},
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server_.Script(c.reply);
    Text headers = "left over";
    FetchOptions o;
    o.timeoutSeconds = c.seconds;
    o.rawHeaders = &headers;
    ULONGLONG start = Now();
    EXPECT_EQ(FetchPage(server_.Url("/slow"), o), "");
    ULONGLONG took = Now() - start;
    EXPECT_GE(took, c.seconds * 1000u - 50);
    EXPECT_LT(took, c.seconds * 1000u + 3000);
    EXPECT_EQ(headers, "");
  }
}

TEST_F(FetchPageTest, DeadlineHoldsWhileMessagesKeepArriving) {
  MessageCounter counter;
  SetTimer(counter.hwnd(), 1, 20, nullptr);
  std::atomic<bool> stop{false};
  std::thread poster([&] {
    while (!stop) {
      PostMessageA(counter.hwnd(), MessageCounter::kPosted, 0, 0);
      Sleep(5);
    }
  });
  server_.Script(loopback::Silent());
  FetchOptions o;
  o.timeoutSeconds = 2;
  ULONGLONG start = Now();
  Bytes body = FetchPage(server_.Url("/slow"), o);
  ULONGLONG took = Now() - start;
  stop = true;
  poster.join();
  KillTimer(counter.hwnd(), 1);
  EXPECT_EQ(body, "");
  EXPECT_GE(took, 1950u);
  EXPECT_LT(took, 5000u);
  // Both kinds ran during the wait, not only after it.
  EXPECT_GT(counter.timers, 10);
  EXPECT_GT(counter.posted, 10);
}

TEST_F(FetchPageTest, QuitMessageEndsTheWaitAndStaysQueued) {
  MessageCounter counter;
  counter.quitAfterTimers = 3;
  SetTimer(counter.hwnd(), 1, 50, nullptr);
  server_.Script(loopback::Silent());
  FetchOptions o;
  o.timeoutSeconds = 10;
  ULONGLONG start = Now();
  EXPECT_EQ(FetchPage(server_.Url("/slow"), o), "");
  EXPECT_LT(Now() - start, 5000u);
  KillTimer(counter.hwnd(), 1);
  int code = 0;
  EXPECT_TRUE(TakeQuit(code));
  EXPECT_EQ(code, 7);

  // A quit already queued: no worker is started at all.
  PostQuitMessage(3);
  EXPECT_EQ(FetchPage(server_.Url("/after-quit")), "");
  EXPECT_TRUE(TakeQuit(code));
  EXPECT_EQ(code, 3);
  Sleep(300);
  for (const std::string& r : server_.Requests())
    EXPECT_EQ(r.find("/after-quit"), std::string::npos);
}

TEST(MessageWait, TabMovesTheFocusInAControlParentWindow) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  HWND top = CreateWindowExA(WS_EX_CONTROLPARENT, "STATIC", "tab", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             0, 0, 300, 200, nullptr, nullptr, inst, nullptr);
  ASSERT_TRUE(top);
  HWND first = CreateWindowA("BUTTON", "1", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 80, 30,
                             top, nullptr, inst, nullptr);
  HWND second = CreateWindowA("BUTTON", "2", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 100, 10, 80, 30,
                              top, nullptr, inst, nullptr);
  SetForegroundWindow(top);
  SetFocus(first);
  ASSERT_EQ(GetFocus(), first);
  PostMessageA(first, WM_KEYDOWN, VK_TAB, 0);
  HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(WaitDispatchingMessages(never, 300), WaitEnd::kTimedOut);
  EXPECT_EQ(GetFocus(), second);
  CloseHandle(never);
  DestroyWindow(top);
}

int ThreadCount() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 te{};
  te.dwSize = sizeof te;
  int n = 0;
  if (Thread32First(snap, &te)) {
    do {
      if (te.th32OwnerProcessID == GetCurrentProcessId()) ++n;
    } while (Thread32Next(snap, &te));
  }
  CloseHandle(snap);
  return n;
}

// GetProcessHandleCount; Wine answers 0 there, so then the system's handle
// list is counted instead.
long HandleCount() {
  DWORD n = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &n) && n > 0) return static_cast<long>(n);
  struct Entry {
    ULONG pid;
    UCHAR type, flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
  };
  using Query = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  std::vector<char> buffer(1 << 20);
  ULONG size = 0;
  while (query(16 /* SystemHandleInformation */, buffer.data(),
               static_cast<ULONG>(buffer.size()), &size) != 0) {
    if (buffer.size() >= (64u << 20)) return -1;
    buffer.resize(buffer.size() * 2);
  }
  ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
  const Entry* e = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
  long mine = 0;
  for (ULONG i = 0; i < count; ++i)
    if (e[i].pid == GetCurrentProcessId()) ++mine;
  return mine;
}

// Timed-out calls against a silent server from several threads at once.
int TimedOutCalls(loopback::Server& server, int callers, int callsEach) {
  server.SetDefault(loopback::Silent());
  std::atomic<int> empty{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < callers; ++i)
    threads.emplace_back([&] {
      for (int k = 0; k < callsEach; ++k) {
        FetchOptions o;
        o.timeoutSeconds = 1;
        if (FetchPage(server.Url("/silent"), o).empty()) ++empty;
      }
    });
  for (auto& t : threads) t.join();
  return empty;
}

TEST_F(FetchPageTest, ManyTimedOutCallsLeaveNoThreadsOrHandlesBehind) {
  constexpr int kCallers = 4, kCallsEach = 3;
  // Warm up with one round of the same shape: the first fetch and the first
  // contended time-outs make what the process then keeps.
  EXPECT_EQ(FetchPage(server_.Url("/warm")), "ok");
  EXPECT_EQ(TimedOutCalls(server_, kCallers, 1), kCallers);
  ASSERT_TRUE(server_.WaitIdle(10000));
  const int threads = ThreadCount();
  const long handles = HandleCount();
  ASSERT_GT(threads, 0);
  ASSERT_GT(handles, 0);

  EXPECT_EQ(TimedOutCalls(server_, kCallers, kCallsEach), kCallers * kCallsEach);
  EXPECT_TRUE(server_.WaitForRequests(1 + kCallers + kCallers * kCallsEach, 2000));

  // The silent peers are not released: the abandoned workers must end by
  // themselves, after which WinInet drops their connections.
  EXPECT_TRUE(server_.WaitIdle(10000)) << server_.OpenConnections() << " still open";
  // Wine makes a lock's wait handle the first time the lock is contended and
  // keeps it, so one or two more may appear however many calls are made;
  // a leak of each call's thread or socket would add a dozen or more.
  constexpr long kLazyHandles = 2;
  int threadsAfter = 0;
  long handlesAfter = 0;
  for (ULONGLONG until = Now() + 10000; Now() < until; Sleep(100)) {
    threadsAfter = ThreadCount();
    handlesAfter = HandleCount();
    if (threadsAfter <= threads && handlesAfter <= handles + kLazyHandles) break;
  }
  EXPECT_LE(threadsAfter, threads);
  EXPECT_LE(handlesAfter, handles + kLazyHandles);
}

}  // namespace
