// One web page fetched on a worker thread while the calling (window) thread
// keeps dispatching its messages. Every failure gives an empty body.
#pragma once
#include <optional>
#include "text/Text.h"

// Optional arguments know whether the caller gave them.
struct FetchOptions {
  std::optional<Text> verb;          // empty: GET
  std::optional<Text> proxy;         // blank: direct
  std::optional<Text> userName;      // blank: none
  std::optional<Text> password;      // blank: none
  std::optional<Text> extraHeaders;  // lines each ending in "\r\n"
  std::optional<Text> postData;
  std::optional<int> timeoutSeconds; // absent or 0: 10
  Text* rawHeaders = nullptr;        // written only when given
};

#ifdef _WIN32
// The body of the page (empty on any failure). The wait ends at the deadline
// of timeoutSeconds however many messages arrive meanwhile, and at once when
// a WM_QUIT is queued (it stays queued; no fetch starts while one is). A
// worker still running then is abandoned: it ends on its own soon after and
// nothing it does reaches the caller.
Bytes FetchPage(const Text& url, const FetchOptions& options = {});
#endif
