// The request header text and the cookie lines of a response, as the fetch
// worker builds and reads them. Portable: no WinInet here.
#pragma once
#include <vector>
#include "text/Text.h"

enum class FetchVerb { kGet, kPost, kOther };

// Empty or "GET" in any case is a GET, "POST" in any case a POST.
FetchVerb ClassifyVerb(const Text& verb);

// Blank: nothing but spaces (or empty).
bool IsBlank(const Text& text);

// extraHeaders followed by the default Accept, Referer and Accept-Language
// lines whose names (searched without regard to case anywhere in the text
// built so far) are missing.
Text RequestHeaders(const Text& extraHeaders, const Text& url);

// For a POST with a body: a Content-Type line when the name is missing and
// always a Content-Length line.
Text PostHeaders(const Text& headers, const Text& postData);

struct StoredCookie {
  Text name;  // empty when the line has no "="
  Text data;  // everything after the "=", attributes included
};

// One cookie for each line of the raw header text that contains
// "Set-Cookie: " (any case): the line's first 12 bytes dropped, then split at
// its first "=".
std::vector<StoredCookie> CookiesToStore(const Text& headerText);

// Where the cookies of a host are stored.
Text CookieAddress(const Text& host);
