// A small loopback TCP socket: Winsock on Windows, POSIX sockets elsewhere.
// Move-only; the handle is closed with the object.
#pragma once
#include <cstdint>
#include <string>

// Winsock has to be started before any socket call; a no-op elsewhere.
class SocketLibrary {
 public:
  SocketLibrary();
  ~SocketLibrary();
  SocketLibrary(const SocketLibrary&) = delete;
  SocketLibrary& operator=(const SocketLibrary&) = delete;
  bool Ready() const { return ready_; }

 private:
  bool ready_ = false;
};

class Socket {
 public:
  Socket() = default;
  ~Socket();
  Socket(Socket&& other) noexcept;
  Socket& operator=(Socket&& other) noexcept;
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // Listens on 127.0.0.1; port 0 takes any free one. Invalid on failure.
  static Socket ListenLoopback(int port, int backlog = 64);
  static Socket ConnectLoopback(int port);

  bool Valid() const;
  // The port the socket is bound to, 0 when unknown.
  int LocalPort() const;
  // True when a read (or an accept) would not block, within the time given.
  bool WaitReadable(int milliseconds) const;
  Socket Accept() const;
  // Bytes received, 0 at the peer's close, -1 on an error.
  int Receive(char* buffer, int size) const;
  bool SendAll(const std::string& bytes) const;
  void ShutdownSend() const;
  void Close();

 private:
  explicit Socket(std::uintptr_t handle) : handle_(handle) {}
  static constexpr std::uintptr_t kNone = ~std::uintptr_t{0};
  std::uintptr_t handle_ = kNone;
};
