// The cost of one page fetch against a loopback server serving a 25 KB page,
// measured three ways in one run: a plain Winsock client, the bare platform
// sequence the worker prescribes (a thread making the WinInet calls with
// 512-byte reads), and FetchPage itself. Our own overhead is FetchPage
// against the bare sequence.
#include <winsock2.h>
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "LoopbackServer.h"
#include "fetch/FetchPage.h"

namespace {

constexpr int kRequests = 300;

double Seconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

size_t WinsockGet(int port, const std::string& path) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<u_short>(port));
  size_t total = 0;
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
    std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    send(s, request.data(), static_cast<int>(request.size()), 0);
    char buffer[16384];
    int n;
    while ((n = recv(s, buffer, sizeof buffer, 0)) > 0) total += static_cast<size_t>(n);
  }
  closesocket(s);
  return total;
}

struct BareJob {
  int port;
  std::string path;
  std::string headers;  // made once, outside the measurement
  size_t bodyBytes = 0;
};

// What the worker's WinInet calls cost with nothing of ours around them.
DWORD WINAPI BareWorker(LPVOID arg) {
  auto* job = static_cast<BareJob*>(arg);
  HINTERNET internet = InternetOpenA("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)",
                                     INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectA(internet, "127.0.0.1", static_cast<INTERNET_PORT>(job->port),
                                          nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = HttpOpenRequestA(connection, nullptr, job->path.c_str(), "HTTP/1.1", nullptr,
                                       nullptr, INTERNET_FLAG_RELOAD, 0);
  HttpSendRequestA(request, job->headers.c_str(), static_cast<DWORD>(job->headers.size()), nullptr,
                   0);
  char block[512];
  DWORD count = 0;
  job->bodyBytes = 0;
  while (InternetReadFile(request, block, sizeof block, &count) && count > 0)
    job->bodyBytes += count;
  char header[1024];
  DWORD size = sizeof header;
  HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, header, &size, nullptr);
  InternetCloseHandle(request);
  InternetCloseHandle(connection);
  InternetCloseHandle(internet);
  return 1;
}

size_t BareGet(BareJob& job) {
  HANDLE thread = CreateThread(nullptr, 0, BareWorker, &job, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return job.bodyBytes;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  std::string page;
  for (int i = 0; page.size() < 25000; ++i)
    page += "<p>row " + std::to_string(i) + " of the benchmark page, padded to about 25 KB</p>\n";
  loopback::Server server;
  server.SetDefault(loopback::Respond("200 OK", page, "Content-Type: text/html\r\n"));
  const std::string path = "/page";
  const std::string url = server.Url(path);

  BareJob job{server.Port(), path,
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
              "application/x-shockwave-flash, application/vnd.ms-excel, "
              "application/vnd.ms-powerpoint, application/msword, */*\r\nReferer: " +
                  url + "\r\nAccept-Language: zh-cn\r\n"};

  // Warm up every path once, and check that each gets the whole page.
  size_t winsockBytes = WinsockGet(server.Port(), path);
  size_t bareBytes = BareGet(job);
  size_t fetchBytes = FetchPage(url).size();
  if (winsockBytes <= page.size() || bareBytes != page.size() || fetchBytes != page.size()) {
    std::printf("page not served whole: winsock %zu, bare %zu, FetchPage %zu of %zu bytes\n",
                winsockBytes, bareBytes, fetchBytes, page.size());
    return 1;
  }

  // Bare sequence and FetchPage alternate request by request (taking turns
  // at going first), and each way's cost is the median of its requests, so
  // that bursts of load from elsewhere on a shared machine hit both alike
  // and do not decide the result.
  std::vector<double> winsock, bare, fetch;
  for (int i = 0; i < kRequests; ++i) {
    for (int k = 0; k < 2; ++k) {
      double t = Seconds();
      if ((i + k) % 2 == 0) {
        BareGet(job);
        bare.push_back(Seconds() - t);
      } else {
        FetchPage(url);
        fetch.push_back(Seconds() - t);
      }
    }
    double t = Seconds();
    WinsockGet(server.Port(), path);
    winsock.push_back(Seconds() - t);
  }
  const double w = Median(winsock) * 1000, b = Median(bare) * 1000, f = Median(fetch) * 1000;
  const double overhead = (f / b - 1) * 100;
  std::printf("page %zu bytes, %d sequential requests per way, loopback; median per request\n",
              page.size(), kRequests);
  std::printf("  plain Winsock request            %7.3f ms\n", w);
  std::printf("  bare thread + WinInet (512 B)    %7.3f ms   %5.2f x Winsock\n", b, b / w);
  std::printf("  FetchPage                        %7.3f ms   %5.2f x Winsock\n", f, f / w);
  std::printf("  our overhead (FetchPage vs bare) %+6.1f %%   (budget 5 %%: %s)\n", overhead,
              overhead <= 5 ? "within" : "OVER");
  return 0;
}
