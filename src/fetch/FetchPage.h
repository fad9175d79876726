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
Bytes FetchPage(const Text& url, const FetchOptions& options = {});
#endif
