#include "fetch/Url.h"

Text UrlHost(const Text& url, bool keepPort) {
  const int scheme = FindText(url, "http://");
  const int s = scheme == -1 ? 1 : scheme + 7;
  const int q = FindText(url, "/", s);
  Text host = q != -1 ? TextMid(url, s, q - s) : TextMid(url, s, TextLength(url));
  if (!keepPort) {
    const int c = FindText(host, ":");
    if (c != -1) host = TextLeft(host, c - 1);
  }
  return ToLower(host);
}

Text UrlPath(const Text& url) {
  const Text h = UrlHost(url, false);
  const int a = FindText(url, h, 1, true);
  const int b = FindText(url, "/", a, true);
  if (b == -1) return "/";
  return TextRight(url, TextLength(url) - b + 1);
}

int UrlPort(const Text& url) {
  const Text h = UrlHost(url, true);
  const int c = FindText(h, ":");
  if (c == -1) return 80;
  return TruncateToInteger(TextToNumber(TextRight(h, TextLength(h) - c)));
}
