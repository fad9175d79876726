#include "StandinServer.h"

#include <chrono>
#include <system_error>
#include <vector>

#include "StandinPages.h"

namespace {

constexpr int kPollMilliseconds = 100;
constexpr int kReadTimeoutMilliseconds = 10000;
constexpr size_t kMaxRequestHead = 64 * 1024;

std::string ResponseHead(const StandinReply& r, size_t bodyLength) {
  return "HTTP/1.1 " + std::to_string(r.status) + " " + r.reason + "\r\n" +
         "Content-Type: " + r.contentType + "\r\n" +
         "Content-Length: " + std::to_string(bodyLength) + "\r\n" +
         "Connection: close\r\n"
         "Cache-Control: no-store\r\n"
         "\r\n";
}

}  // namespace

StandinServer::~StandinServer() { Stop(); }

int StandinServer::Start(const StandinOptions& options) {
  if (acceptor_.joinable() || !library_.Ready()) return 0;
  listener_ = Socket::ListenLoopback(options.port);
  port_ = listener_.LocalPort();
  if (!listener_.Valid() || port_ == 0) {
    listener_.Close();
    port_ = 0;
    return 0;
  }
  badgeHost_ = options.badgeHost.empty() ? "127.0.0.1:" + std::to_string(port_) : options.badgeHost;
  log_ = options.log;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = false;
  }
  acceptor_ = std::thread([this] { AcceptLoop(); });
  return port_;
}

void StandinServer::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (acceptor_.joinable()) acceptor_.join();
  listener_.Close();
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return activeConnections_ == 0; });
}

std::vector<std::string> StandinServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void StandinServer::ClearRequests() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

void StandinServer::AcceptLoop() {
  while (!Stopping()) {
    if (!listener_.WaitReadable(kPollMilliseconds)) continue;
    Socket connection = listener_.Accept();
    if (!connection.Valid()) {
      // Out of sockets, say: give the system a moment instead of spinning.
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++activeConnections_;
    }
    try {
      std::thread([this, c = std::move(connection)] {
        Serve(c);
        // The last touch of the server: Stop() may destroy it right after.
        std::lock_guard<std::mutex> lock(mutex_);
        --activeConnections_;
        changed_.notify_all();
      }).detach();
    } catch (const std::system_error&) {
      // No thread to be had: the connection is dropped (its socket closes
      // with the lambda that failed to start).
      std::lock_guard<std::mutex> lock(mutex_);
      --activeConnections_;
      changed_.notify_all();
    }
  }
}

bool StandinServer::Delay(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  return !changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                            [this] { return stopping_; });
}

bool StandinServer::Stopping() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return stopping_;
}

// The request head up to its blank line; empty when the peer gives none in
// time or the server stops meanwhile (a silent peer must not hold up Stop).
std::string StandinServer::ReadHead(const Socket& s) const {
  std::string head;
  std::vector<char> buffer(4096);
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxRequestHead) {
    int waited = 0;
    while (!s.WaitReadable(kPollMilliseconds)) {
      waited += kPollMilliseconds;
      if (waited >= kReadTimeoutMilliseconds || Stopping()) return {};
    }
    const int n = s.Receive(buffer.data(), static_cast<int>(buffer.size()));
    if (n <= 0) break;
    head.append(buffer.data(), static_cast<size_t>(n));
  }
  return head;
}

void StandinServer::Serve(const Socket& connection) {
  const std::string head = ReadHead(connection);
  const size_t lineEnd = head.find("\r\n");
  if (lineEnd == std::string::npos) return;
  const std::string requestLine = head.substr(0, lineEnd);
  // "METHOD target HTTP/x.y"
  const size_t sp1 = requestLine.find(' ');
  const size_t sp2 = requestLine.rfind(' ');
  if (sp1 == std::string::npos || sp2 <= sp1) return;
  const std::string method = requestLine.substr(0, sp1);
  const std::string target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(target);
    if (log_) log_(requestLine);
  }
  StandinReply reply = StandinRespond(target, badgeHost_);
  if (method != "GET" && method != "HEAD") {
    reply = StandinReply{};
    reply.status = 405;
    reply.reason = "Method Not Allowed";
    reply.body = "405 Method Not Allowed\n";
    reply.contentType = "text/plain; charset=utf-8";
  }
  if (reply.delayMilliseconds > 0 && !Delay(reply.delayMilliseconds)) return;
  std::string response = ResponseHead(reply, reply.body.size());
  if (method != "HEAD") response += reply.body;
  if (!connection.SendAll(response)) return;
  // A graceful close: the client reads the whole reply before the end.
  connection.ShutdownSend();
  std::vector<char> sink(1024);
  while (connection.WaitReadable(kPollMilliseconds) &&
         connection.Receive(sink.data(), static_cast<int>(sink.size())) > 0) {
  }
}
