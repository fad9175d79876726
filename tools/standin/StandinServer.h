// The stand-in service on a loopback port: one thread accepts, one thread
// per connection answers, so a slow page holds up only its own request.
#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Socket.h"

struct StandinOptions {
  int port = 0;  // 0: any free port
  // host[:port] in the weight badge address; empty: 127.0.0.1:<port>.
  std::string badgeHost;
  // Called with each request line as it arrives (on a connection thread,
  // one call at a time).
  std::function<void(const std::string& requestLine)> log;
};

class StandinServer {
 public:
  StandinServer() = default;
  ~StandinServer();  // stops
  StandinServer(const StandinServer&) = delete;
  StandinServer& operator=(const StandinServer&) = delete;

  // Starts listening; gives the port, or 0 when the port cannot be had.
  int Start(const StandinOptions& options = {});
  // Ends the accepting, cuts short any delayed page, and waits for every
  // connection thread to finish.
  void Stop();
  int Port() const { return port_; }
  const std::string& BadgeHost() const { return badgeHost_; }

  // The request targets (path and query) received so far, in order.
  std::vector<std::string> Requests() const;
  void ClearRequests();

 private:
  void AcceptLoop();
  void Serve(const Socket& connection);
  std::string ReadHead(const Socket& connection) const;
  bool Stopping() const;
  // Waits the delay out; false when the server is stopping.
  bool Delay(int milliseconds);

  SocketLibrary library_;
  Socket listener_;
  std::thread acceptor_;
  int port_ = 0;
  std::string badgeHost_;
  std::function<void(const std::string&)> log_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  int activeConnections_ = 0;
  std::vector<std::string> requests_;
};
