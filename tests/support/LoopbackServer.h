// A scripted HTTP server on 127.0.0.1 for tests: it records every request's
// raw bytes and answers each with the next scripted reply, byte for byte,
// including split writes with pauses, silence and a close mid-body.
#pragma once
#include <winsock2.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace loopback {

struct Step {
  enum class Kind { kSend, kPause, kClose, kHold };
  Kind kind;
  std::string bytes;  // kSend
  int ms = 0;         // kPause
};

inline Step Send(std::string bytes) { return {Step::Kind::kSend, std::move(bytes), 0}; }
inline Step Pause(int ms) { return {Step::Kind::kPause, {}, ms}; }
// Closes the connection (also in the middle of a body).
inline Step Close() { return {Step::Kind::kClose, {}, 0}; }
// Says nothing more until the client goes away or ReleaseHeld is called.
inline Step Hold() { return {Step::Kind::kHold, {}, 0}; }

// What the server does after it has read one request. When the steps run out
// without a close or hold, the connection waits for the next request.
using Reply = std::vector<Step>;

// A complete response with "Connection: close" and a Content-Length, sent in
// one write, then the connection closed. extraHeaders: lines ending in "\r\n".
Reply Respond(const std::string& status, const std::string& body,
              const std::string& extraHeaders = "");
// The same response, its bytes sent in pieces of pieceSize with a pause after
// each piece.
Reply RespondInPieces(const std::string& status, const std::string& body, size_t pieceSize,
                      int pauseMs, const std::string& extraHeaders = "");
// A response that announces contentLength bytes, sends only body, then closes.
Reply RespondCut(const std::string& body, size_t contentLength);
// Silence: the request is read and nothing is ever answered.
Reply Silent();

class Server {
 public:
  // Starts the thread and waits for it to listen on a fresh port.
  Server();
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  int Port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by path.
  std::string Url(const std::string& path) const;

  // Replies are used in order, one per request; when none is left the server
  // answers "200 OK" with the body "ok".
  void Script(Reply reply);
  // Used for every request once the script is exhausted.
  void SetDefault(Reply reply);

  std::vector<std::string> Requests() const;
  // Waits (bounded) until at least n requests have arrived.
  bool WaitForRequests(size_t n, int timeoutMs) const;
  // Ends every held connection.
  void ReleaseHeld();
  // Number of connections still open (held ones included).
  size_t OpenConnections() const;
  // Waits (bounded) until no connection is open and their threads are gone.
  bool WaitIdle(int timeoutMs);

 private:
  void Listen();
  void Serve(SOCKET s);
  bool ReadRequest(SOCKET s, std::string& pending, std::string& request);
  Reply NextReply();
  void Reap();

  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  HANDLE ready_ = nullptr;
  std::thread acceptor_;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::deque<Reply> script_;
  Reply default_;
  std::vector<std::string> requests_;
  struct Connection {
    std::thread thread;
    bool done = false;
  };
  std::vector<std::unique_ptr<Connection>> connections_;
  size_t releaseGeneration_ = 0;
  bool stopping_ = false;
};

// A loopback port that nothing listens on (bound once, then closed).
int UnusedPort();

// The header lines of a raw request (request line and body excluded).
std::vector<std::string> HeaderLines(const std::string& request);
// The request line.
std::string RequestLine(const std::string& request);
// The bytes after the blank line.
std::string RequestBody(const std::string& request);
// The value of the first header with that name (any case), "" when none.
std::string HeaderValue(const std::string& request, const std::string& name);

}  // namespace loopback
