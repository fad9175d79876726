#include "LoopbackServer.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>

namespace loopback {

namespace {

constexpr int kPollMs = 20;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Head(const std::string& status, size_t length, const std::string& extraHeaders) {
  return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(length) +
         "\r\nConnection: close\r\n" + extraHeaders + "\r\n";
}

bool SendAll(SOCKET s, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    int n = send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

// Readable within the poll interval (data or the peer's close).
bool Readable(SOCKET s) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval tv{0, kPollMs * 1000};
  return select(0, &set, nullptr, nullptr, &tv) > 0;
}

SOCKET LoopbackSocket(int& port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  int len = sizeof a;
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  port = ntohs(a.sin_port);
  return s;
}

}  // namespace

Reply Respond(const std::string& status, const std::string& body,
              const std::string& extraHeaders) {
  return {Send(Head(status, body.size(), extraHeaders) + body), Close()};
}

Reply RespondInPieces(const std::string& status, const std::string& body, size_t pieceSize,
                      int pauseMs, const std::string& extraHeaders) {
  std::string all = Head(status, body.size(), extraHeaders) + body;
  Reply r;
  for (size_t i = 0; i < all.size(); i += pieceSize) {
    r.push_back(Send(all.substr(i, pieceSize)));
    r.push_back(Pause(pauseMs));
  }
  r.push_back(Close());
  return r;
}

Reply RespondCut(const std::string& body, size_t contentLength) {
  return {Send(Head("200 OK", contentLength, "") + body), Pause(50), Close()};
}

Reply Silent() { return {Hold()}; }

Server::Server() {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  default_ = Respond("200 OK", "ok");
  ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  acceptor_ = std::thread([this] { Listen(); });
  WaitForSingleObject(ready_, 10000);
}

Server::~Server() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (acceptor_.joinable()) acceptor_.join();
  for (auto& c : connections_) c->thread.join();
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
  CloseHandle(ready_);
  WSACleanup();
}

std::string Server::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void Server::Script(Reply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  script_.push_back(std::move(reply));
}

void Server::SetDefault(Reply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  default_ = std::move(reply);
}

std::vector<std::string> Server::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

bool Server::WaitForRequests(size_t n, int timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return requests_.size() >= n; });
}

void Server::ReleaseHeld() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++releaseGeneration_;
  }
  changed_.notify_all();
}

size_t Server::OpenConnections() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<size_t>(std::count_if(connections_.begin(), connections_.end(),
                                           [](const auto& c) { return !c->done; }));
}

void Server::Reap() {
  std::vector<std::unique_ptr<Connection>> finished;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::stable_partition(connections_.begin(), connections_.end(),
                                    [](const auto& c) { return !c->done; });
    for (auto f = it; f != connections_.end(); ++f) finished.push_back(std::move(*f));
    connections_.erase(it, connections_.end());
  }
  for (auto& c : finished) c->thread.join();
}

bool Server::WaitIdle(int timeoutMs) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    Reap();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (connections_.empty()) return true;
    }
    if (GetTickCount64() >= until) return false;
    Sleep(kPollMs);
  }
}

void Server::Listen() {
  listener_ = LoopbackSocket(port_);
  if (listener_ == INVALID_SOCKET || listen(listener_, SOMAXCONN) != 0) {
    SetEvent(ready_);
    return;
  }
  SetEvent(ready_);
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) return;
    }
    if (!Readable(listener_)) continue;
    SOCKET s = accept(listener_, nullptr, nullptr);
    if (s == INVALID_SOCKET) continue;
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.push_back(std::make_unique<Connection>());
    Connection* c = connections_.back().get();
    c->thread = std::thread([this, s, c] {
      Serve(s);
      closesocket(s);
      std::lock_guard<std::mutex> lock(mutex_);
      c->done = true;
      changed_.notify_all();
    });
  }
}

bool Server::ReadRequest(SOCKET s, std::string& pending, std::string& request) {
  size_t headEnd;
  auto received = [&] {
    char buf[4096];
    int n = recv(s, buf, sizeof buf, 0);
    if (n <= 0) return false;
    pending.append(buf, static_cast<size_t>(n));
    return true;
  };
  auto stopping = [&] {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopping_;
  };
  while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
    if (stopping()) return false;
    if (Readable(s) && !received()) return false;
  }
  headEnd += 4;
  size_t length = 0;
  std::string head = pending.substr(0, headEnd);
  std::string value = HeaderValue(head, "Content-Length");
  if (!value.empty()) length = std::stoul(value);
  while (pending.size() < headEnd + length) {
    if (stopping()) return false;
    if (Readable(s) && !received()) return false;
  }
  request = pending.substr(0, headEnd + length);
  pending.erase(0, headEnd + length);
  return true;
}

Reply Server::NextReply() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (script_.empty()) return default_;
  Reply r = std::move(script_.front());
  script_.pop_front();
  return r;
}

void Server::Serve(SOCKET s) {
  std::string pending;
  for (;;) {
    std::string request;
    if (!ReadRequest(s, pending, request)) return;
    Reply reply = NextReply();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
    }
    changed_.notify_all();
    for (const Step& step : reply) {
      switch (step.kind) {
        case Step::Kind::kSend:
          if (!SendAll(s, step.bytes)) return;
          break;
        case Step::Kind::kPause:
          Sleep(static_cast<DWORD>(step.ms));
          break;
        case Step::Kind::kClose:
          return;
        case Step::Kind::kHold: {
          size_t generation;
          {
            std::lock_guard<std::mutex> lock(mutex_);
            generation = releaseGeneration_;
          }
          for (;;) {
            {
              std::lock_guard<std::mutex> lock(mutex_);
              if (stopping_ || releaseGeneration_ != generation) return;
            }
            if (Readable(s)) {
              char buf[512];
              if (recv(s, buf, sizeof buf, 0) <= 0) return;  // the client went away
            }
          }
        }
      }
    }
  }
}

int UnusedPort() {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  int port = 0;
  SOCKET s = LoopbackSocket(port);
  if (s != INVALID_SOCKET) closesocket(s);
  WSACleanup();
  return port;
}

std::string RequestLine(const std::string& request) {
  return request.substr(0, request.find("\r\n"));
}

std::vector<std::string> HeaderLines(const std::string& request) {
  std::vector<std::string> lines;
  size_t end = request.find("\r\n\r\n");
  if (end == std::string::npos) end = request.size();
  size_t pos = request.find("\r\n");
  while (pos != std::string::npos && pos < end) {
    size_t next = request.find("\r\n", pos + 2);
    if (next == std::string::npos || next > end) next = end;
    lines.push_back(request.substr(pos + 2, next - pos - 2));
    pos = next == end ? std::string::npos : next;
  }
  return lines;
}

std::string RequestBody(const std::string& request) {
  size_t end = request.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : request.substr(end + 4);
}

std::string HeaderValue(const std::string& request, const std::string& name) {
  std::string wanted = Lower(name) + ":";
  for (const std::string& line : HeaderLines(request)) {
    if (Lower(line.substr(0, wanted.size())) != wanted) continue;
    size_t v = wanted.size();
    while (v < line.size() && line[v] == ' ') ++v;
    return line.substr(v);
  }
  return std::string();
}

}  // namespace loopback
