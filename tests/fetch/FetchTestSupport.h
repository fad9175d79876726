// Shared bits of the fetch tests under Wine.
#pragma once
#include <windows.h>

#include <cctype>
#include <string>
#include <vector>

#include "LoopbackServer.h"

// The request's header lines that the fetch itself chose, in order: WinInet's
// own lines (host, agent, connection, caching, stored cookies) and the zero
// Content-Length it adds to bodiless requests are left out.
inline std::vector<std::string> OwnHeaderLines(const std::string& request) {
  static const char* const kLibraryNames[] = {"host:",   "user-agent:", "connection:",
                                               "cache-control:", "pragma:", "cookie:",
                                               "proxy-connection:"};
  std::vector<std::string> own;
  for (const std::string& line : loopback::HeaderLines(request)) {
    std::string lower;
    for (char c : line) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    bool library = lower == "content-length: 0";
    for (const char* name : kLibraryNames) library = library || lower.rfind(name, 0) == 0;
    if (!library) own.push_back(line);
  }
  return own;
}

inline ULONGLONG Now() { return GetTickCount64(); }
