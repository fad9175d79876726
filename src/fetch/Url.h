// A page address cut into host, port and path by plain text search. Only
// "http://" is understood; nothing is validated or re-encoded.
#pragma once
#include "text/Text.h"

// Lower case; with keepPort the ":" and port after the host stay on it.
Text UrlHost(const Text& url, bool keepPort);
// From the path's first "/" to the end, query included; "/" when none.
Text UrlPath(const Text& url);
// 80 when the address names no port; 0 when the port is not a number.
int UrlPort(const Text& url);
