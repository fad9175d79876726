// The window's responsiveness during a batch whose pages take 2 seconds each,
// and the cost of the real list view in a 1,000-domain batch against the
// stand-in service (the same run on the list model for comparison).
// Loopback only; a virtual display is needed (scripts/bench gives one).
#include <windows.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "../tests/app/UiDriver.h"
#include "Socket.h"
#include "StandinServer.h"
#include "app/App.h"
#include "fetch/FetchPage.h"
#include "fetch/MessageWait.h"
#include "query/BatchQuery.h"
#include "query/ListModel.h"
#include "text/PageText.h"

namespace {

constexpr int kPageDelayMs = 2000;
constexpr int kProbePeriodMs = 20;

double NowMs() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

// Answers every request after kPageDelayMs with a small page.
class SlowServer {
 public:
  SlowServer() {
    listener_ = Socket::ListenLoopback(0);
    port_ = listener_.LocalPort();
    thread_ = std::thread([this] { Loop(); });
  }
  ~SlowServer() {
    stop_ = true;
    thread_.join();
  }
  int Port() const { return port_; }

 private:
  void Loop() {
    while (!stop_) {
      if (!listener_.WaitReadable(50)) continue;
      Socket peer = listener_.Accept();
      if (!peer.Valid()) continue;
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos && peer.WaitReadable(2000)) {
        int n = peer.Receive(buffer, sizeof buffer);
        if (n <= 0) break;
        request.append(buffer, n);
      }
      for (int waited = 0; waited < kPageDelayMs && !stop_; waited += 10) Sleep(10);
      const std::string body = "<html>slow page</html>";
      peer.SendAll("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                   std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
      peer.ShutdownSend();
    }
  }

  SocketLibrary library_;
  Socket listener_;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Closing the program's last window asks its loop to end; the benchmark goes
// on, and a queued quit would make every later fetch give up at once.
void CloseMainWindow(App& app) {
  DestroyWindow(app.Main().Handle());
  MSG msg;
  PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

void PointAt(const std::string& hostPort) {
  _putenv_s("DOMAINRANK_LOOKUP_PREFIX", ("http://" + hostPort + "/cha/").c_str());
  _putenv_s("DOMAINRANK_SEARCH_HOST", hostPort.c_str());
  _putenv_s("DOMAINRANK_BADGE_HOST", hostPort.c_str());
}

// Measures, on the window thread, how late posted messages and timer ticks
// are handled: a helper thread posts a stamped message every period, and a
// timer of the same period notes the gaps between its ticks.
class Probe {
 public:
  Probe() {
    static const ATOM atom = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "BenchProbe";
      return RegisterClassA(&wc);
    }();
    window_ = CreateWindowExA(0, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom)), "", 0, 0, 0, 0, 0,
                              HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Probe() {
    Stop();
    DestroyWindow(window_);
  }
  void Start() {
    lastTick_ = NowMs();
    SetTimer(window_, 1, kProbePeriodMs, nullptr);
    poster_ = std::thread([this] {
      while (!stop_) {
        double stamp = NowMs();
        PostMessageA(window_, WM_APP, 0, static_cast<LPARAM>(stamp * 1000.0));
        Sleep(kProbePeriodMs);
      }
    });
  }
  void Stop() {
    if (!poster_.joinable()) return;
    stop_ = true;
    poster_.join();
    KillTimer(window_, 1);
  }
  void Print(const char* what) const {
    std::printf("  %-34s posted message delay max %7.1f ms, mean %5.2f ms (%d); timer lateness max %7.1f ms (%d ticks)\n",
                what, maxDelay_, messages_ ? sumDelay_ / messages_ : 0.0, messages_, maxLate_, ticks_);
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Probe*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && msg == WM_APP) {
      double delay = NowMs() - static_cast<double>(lParam) / 1000.0;
      self->maxDelay_ = std::max(self->maxDelay_, delay);
      self->sumDelay_ += delay;
      ++self->messages_;
      return 0;
    }
    if (self && msg == WM_TIMER) {
      double now = NowMs();
      self->maxLate_ = std::max(self->maxLate_, now - self->lastTick_ - kProbePeriodMs);
      self->lastTick_ = now;
      ++self->ticks_;
      return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
  }

  HWND window_ = nullptr;
  std::thread poster_;
  std::atomic<bool> stop_{false};
  double lastTick_ = 0, maxDelay_ = 0, sumDelay_ = 0, maxLate_ = 0;
  int messages_ = 0, ticks_ = 0;
};

void Idle(int milliseconds) {
  double end = NowMs() + milliseconds;
  while (NowMs() < end) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchWindowMessage(msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

void Responsiveness() {
  SlowServer server;
  PointAt("127.0.0.1:" + std::to_string(server.Port()));
  App app;
  if (!app.Start(GetModuleHandleA(nullptr))) return;
  std::printf("bench_app: window responsiveness, pages of %d ms each\n", kPageDelayMs);
  {
    Probe idle;
    idle.Start();
    Idle(3000);
    idle.Stop();
    idle.Print("idle in the message loop (3 s):");
  }
  SetWindowTextA(app.Main().Control(Ctl::编辑框1), "one.example\r\ntwo.example");
  Probe probe;
  MessageBoxAnswerer answerer(GetCurrentThreadId());
  probe.Start();
  double start = NowMs();
  SendMessageA(app.Main().Control(Ctl::按钮1), BM_CLICK, 0, 0);
  double took = NowMs() - start;
  probe.Stop();
  char label[64];
  std::snprintf(label, sizeof label, "batch of 6 pages (%.1f s):", took / 1000.0);
  probe.Print(label);
  CloseMainWindow(app);
}

// The same batch on the list model: no window, no list view.
class ModelHost final : public BatchHost {
 public:
  explicit ModelHost(Text domains) : domains_(std::move(domains)) {}
  Text DomainListText() override { return domains_; }
  ResultList& Results() override { return list_; }
  Bytes Fetch(const Text& url) override { return FetchPage(url); }
  Text Decode(const Bytes& body) override { return DecodePage(body); }
  void ShowMessage(const Text&) override {}
  bool Ending() override { return false; }
  ListModel list_;

 private:
  Text domains_;
};

void ThousandDomains(int count) {
  StandinServer standin;
  int port = standin.Start();
  PointAt("127.0.0.1:" + std::to_string(port));
  std::string domains;
  for (int i = 0; i < count; ++i) {
    if (i) domains += "\r\n";
    domains += "d" + std::to_string(i) + ".example";
  }
  std::printf("bench_app: %d-domain batch against the stand-in service\n", count);

  // The model before and after the window runs, compared with their mean:
  // the machine's load drifts, and the first run warms WinInet up.
  auto modelRun = [&](int& rows) {
    ModelHost host(domains);
    double start = NowMs();
    BatchQuery(host, LoadQuerySettings());
    rows = host.list_.RowCount();
    return NowMs() - start;
  };
  // Through the real click; hidden, the window paints nothing, which parts
  // the list view's own work from its painting.
  auto windowRun = [&](bool shown, int& rows) {
    App app;
    if (!app.Start(GetModuleHandleA(nullptr))) return 0.0;
    if (!shown) ShowWindow(app.Main().Handle(), SW_HIDE);
    SetWindowTextA(app.Main().Control(Ctl::编辑框1), domains.c_str());
    MessageBoxAnswerer answerer(GetCurrentThreadId());
    double start = NowMs();
    SendMessageA(app.Main().Control(Ctl::按钮1), BM_CLICK, 0, 0);
    double took = NowMs() - start;
    rows = app.Main().Results().RowCount();
    CloseMainWindow(app);
    return took;
  };
  int modelRows = 0, shownRows = 0, hiddenRows = 0;
  double modelBefore = modelRun(modelRows);
  double shownMs = windowRun(true, shownRows);
  double hiddenMs = windowRun(false, hiddenRows);
  double modelAfter = modelRun(modelRows);
  double modelMs = (modelBefore + modelAfter) / 2;

  std::printf("  list model:               %8.0f ms (%0.f before, %.0f after), %6.1f domains/s (%d rows)\n",
              modelMs, modelBefore, modelAfter, count * 1000.0 / modelMs, modelRows);
  std::printf("  real window, shown:       %8.0f ms, %6.1f domains/s (%d rows); %+.2f ms per row, ratio %.2f\n",
              shownMs, count * 1000.0 / shownMs, shownRows, (shownMs - modelMs) / count, shownMs / modelMs);
  std::printf("  real window, hidden:      %8.0f ms, %6.1f domains/s (%d rows); %+.2f ms per row, ratio %.2f\n",
              hiddenMs, count * 1000.0 / hiddenMs, hiddenRows, (hiddenMs - modelMs) / count, hiddenMs / modelMs);
}

}  // namespace

int main(int argc, char** argv) {
  UserInterfaceLayer layer;
  int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  Responsiveness();
  ThousandDomains(count > 0 ? count : 1000);
  return 0;
}
