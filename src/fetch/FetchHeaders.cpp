#include "fetch/FetchHeaders.h"

#include "fetch/MemoryStream.h"

namespace {

struct DefaultLine {
  const char* name;
  const char* line;  // nullptr: the Referer line, built from the address
};

constexpr DefaultLine kDefaultLines[] = {
    {"Accept: ",
     "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
     "application/x-shockwave-flash, application/vnd.ms-excel, application/vnd.ms-powerpoint, "
     "application/msword, */*\r\n"},
    {"Referer: ", nullptr},
    {"Accept-Language: ", "Accept-Language: zh-cn\r\n"},
};

constexpr char kContentTypeName[] = "Content-Type: ";
constexpr char kContentTypeLine[] = "Content-Type: application/x-www-form-urlencoded\r\n";
constexpr char kSetCookie[] = "Set-Cookie: ";

bool Contains(const Text& text, const Text& name) { return FindText(text, name, 1, true) > 0; }

}  // namespace

FetchVerb ClassifyVerb(const Text& verb) {
  if (verb.empty()) return FetchVerb::kGet;
  Text upper = ToUpper(verb);
  if (upper == "GET") return FetchVerb::kGet;
  if (upper == "POST") return FetchVerb::kPost;
  return FetchVerb::kOther;
}

bool IsBlank(const Text& text) { return RemoveAllSpaces(text).empty(); }

Text RequestHeaders(const Text& extraHeaders, const Text& url) {
  Text headers = extraHeaders;
  for (const DefaultLine& d : kDefaultLines) {
    if (Contains(headers, d.name)) continue;
    headers += d.line ? Text(d.line) : ConcatText({d.name, url, "\r\n"});
  }
  return headers;
}

Text PostHeaders(const Text& headers, const Text& postData) {
  Text out = headers;
  if (!Contains(out, kContentTypeName)) out += kContentTypeLine;
  out += ConcatText({"Content-Length: ", NumberToText(TextLength(postData)), "\r\n"});
  return out;
}

std::vector<StoredCookie> CookiesToStore(const Text& headerText) {
  std::vector<StoredCookie> cookies;
  if (!Contains(headerText, kSetCookie)) return cookies;
  MemoryStream lines;
  lines.WriteText(headerText);
  lines.SeekToStart();
  while (!lines.AtEnd()) {
    Text line = lines.ReadLine();
    if (!Contains(line, kSetCookie)) continue;
    Text rest = ReplaceTextAt(line, 1, TextLength(kSetCookie));
    int p = FindText(rest, "=", 1, true);
    if (p > 0)
      cookies.push_back({TextLeft(rest, p - 1), TextRight(rest, TextLength(rest) - p)});
    else
      cookies.push_back({Text(), rest});
  }
  return cookies;
}

Text CookieAddress(const Text& host) { return ConcatText({"http://", host}); }
