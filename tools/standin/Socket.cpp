// The platform side of the stand-in service's sockets.
#include "Socket.h"

#include <algorithm>
#include <utility>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using NativeSocket = SOCKET;
using SockLen = int;
namespace {
void CloseNative(NativeSocket s) { closesocket(s); }
constexpr int kNoSignal = 0;
constexpr int kShutSend = SD_SEND;
}  // namespace
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
using NativeSocket = int;
using SockLen = socklen_t;
namespace {
void CloseNative(NativeSocket s) { ::close(s); }
// A peer that has gone must not kill the process with SIGPIPE.
constexpr int kNoSignal = MSG_NOSIGNAL;
constexpr int kShutSend = SHUT_WR;
}  // namespace
#endif

namespace {
NativeSocket Native(std::uintptr_t h) { return static_cast<NativeSocket>(h); }

sockaddr_in LoopbackAddress(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}
}  // namespace

SocketLibrary::SocketLibrary() {
#ifdef _WIN32
  WSADATA data;
  ready_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
#else
  ready_ = true;
#endif
}

SocketLibrary::~SocketLibrary() {
#ifdef _WIN32
  if (ready_) WSACleanup();
#endif
}

Socket::~Socket() { Close(); }

Socket::Socket(Socket&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kNone);
  }
  return *this;
}

void Socket::Close() {
  if (handle_ != kNone) CloseNative(Native(std::exchange(handle_, kNone)));
}

bool Socket::Valid() const { return handle_ != kNone; }

Socket Socket::ListenLoopback(int port, int backlog) {
  NativeSocket s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
#ifdef _WIN32
  if (s == INVALID_SOCKET) return {};
#else
  if (s < 0) return {};
  // A restarted service may take its fixed port back at once.
  int on = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
#endif
  Socket owned(static_cast<std::uintptr_t>(s));
  sockaddr_in a = LoopbackAddress(port);
  if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return {};
  if (::listen(s, backlog) != 0) return {};
  return owned;
}

Socket Socket::ConnectLoopback(int port) {
  NativeSocket s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
#ifdef _WIN32
  if (s == INVALID_SOCKET) return {};
#else
  if (s < 0) return {};
#endif
  Socket owned(static_cast<std::uintptr_t>(s));
  sockaddr_in a = LoopbackAddress(port);
  if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return {};
  return owned;
}

int Socket::LocalPort() const {
  if (!Valid()) return 0;
  sockaddr_in a{};
  SockLen len = sizeof a;
  if (::getsockname(Native(handle_), reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
  return ntohs(a.sin_port);
}

bool Socket::WaitReadable(int milliseconds) const {
  if (!Valid()) return false;
#ifdef _WIN32
  fd_set set;
  FD_ZERO(&set);
  FD_SET(Native(handle_), &set);
  timeval tv{milliseconds / 1000, (milliseconds % 1000) * 1000};
  return ::select(0, &set, nullptr, nullptr, &tv) > 0;
#else
  pollfd p{Native(handle_), POLLIN, 0};
  return ::poll(&p, 1, milliseconds) > 0;
#endif
}

Socket Socket::Accept() const {
  if (!Valid()) return {};
  NativeSocket s = ::accept(Native(handle_), nullptr, nullptr);
#ifdef _WIN32
  if (s == INVALID_SOCKET) return {};
#else
  if (s < 0) return {};
#endif
  return Socket(static_cast<std::uintptr_t>(s));
}

int Socket::Receive(char* buffer, int size) const {
  if (!Valid()) return -1;
  return static_cast<int>(::recv(Native(handle_), buffer, size, 0));
}

bool Socket::SendAll(const std::string& bytes) const {
  if (!Valid()) return false;
  size_t sent = 0;
  while (sent < bytes.size()) {
    const int chunk = static_cast<int>(std::min<size_t>(bytes.size() - sent, 1 << 20));
    const auto n = ::send(Native(handle_), bytes.data() + sent, chunk, kNoSignal);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

void Socket::ShutdownSend() const {
  if (Valid()) ::shutdown(Native(handle_), kShutSend);
}
