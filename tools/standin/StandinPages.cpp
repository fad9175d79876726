// Built with -fexec-charset=UTF-8: these pages are UTF-8 like the real ones.
#include "StandinPages.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

constexpr int kSlowMilliseconds = 3000;
constexpr int kHangMilliseconds = 15000;

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

uint64_t Hash(std::string_view s) {  // FNV-1a: stable across builds
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

std::string WithSeparators(uint64_t n) {
  std::string digits = std::to_string(n), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string HtmlEscaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

bool StartsWith(const std::string& s, std::string_view prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

StandinReply Page(std::string body) {
  StandinReply r;
  r.body = std::move(body);
  return r;
}

StandinReply ErrorPage() {
  StandinReply r;
  r.status = 500;
  r.reason = "Internal Server Error";
  r.body = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>500</title></head>"
           "<body><h1>500 服务器内部错误</h1></body></html>\n";
  return r;
}

StandinReply NotFound() {
  StandinReply r;
  r.status = 404;
  r.reason = "Not Found";
  r.body = "<!DOCTYPE html>\n<html><body><h1>404 Not Found</h1></body></html>\n";
  return r;
}

// Replies shared by every page of a special domain, if it has one.
bool SpecialReply(const std::string& domain, StandinReply& reply) {
  if (domain == "error.test") {
    reply = ErrorPage();
    return true;
  }
  if (domain == "emptybody.test") {
    reply = Page({});
    return true;
  }
  return false;
}

StandinReply LookupPage(const std::string& rawDomain, const std::string& badgeHost) {
  const std::string domain = Trimmed(rawDomain);
  StandinReply reply;
  if (SpecialReply(domain, reply)) return reply;
  const StandinValues v = StandinValuesFor(domain);
  const std::string shown = HtmlEscaped(rawDomain);
  std::string title = shown + " 的综合查询 - 站长工具";
  std::string traffic = v.traffic;
  if (domain == "nogbk.test") {
    title = "😀 " + title;
    traffic = "12ก34";
  }
  std::string body = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title +
                     "</title></head>\n<body>\n<h1>" + shown + "</h1>\n";
  if (domain != "noweight.test")
    body += "<p>百度权重：<img src=\"http://" + badgeHost + "/images/brs/" + v.weight +
            ".gif\" alt=\"" + v.weight + "\"></p>\n";
  body += "<p>预估百度流量：<span id=\"traffic\"></span> IP</p>\n";
  if (domain != "notraffic.test")
    body += "<script>document.getElementById(\"traffic\").innerHTML = \"" + traffic +
            "\";</script>\n";
  body += "</body></html>\n";
  reply.body = std::move(body);
  if (domain == "slow.test") reply.delayMilliseconds = kSlowMilliseconds;
  if (domain == "hang.test") reply.delayMilliseconds = kHangMilliseconds;
  return reply;
}

StandinReply SearchPage(const std::string& query) {
  std::string kind, rawDomain = query;
  for (std::string_view k : {"site:", "domain:"}) {
    if (StartsWith(query, k)) {
      kind = std::string(k.substr(0, k.size() - 1));
      rawDomain = query.substr(k.size());
    }
  }
  const std::string domain = Trimmed(rawDomain);
  StandinReply reply;
  if (SpecialReply(domain, reply)) return reply;
  const StandinValues v = StandinValuesFor(domain);
  std::string count = kind == "domain" ? v.domainCount : v.siteCount;
  if (domain == "bigcount.test") count = kind == "domain" ? "45,600" : "1,230,000";
  std::string body = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" +
                     HtmlEscaped(query) + "_百度搜索</title></head>\n<body>\n";
  if (domain == "nocount.test")
    body += "<div class=\"nors\">抱歉，没有找到与“" + HtmlEscaped(query) + "”相关的网页。</div>\n";
  else if (domain == "noge.test")
    body += "<div class=\"nums\">百度为您找到相关结果约" + count + "</div>\n";
  else
    body += "<div class=\"nums\">百度为您找到相关结果约" + count + "个</div>\n";
  body += "</body></html>\n";
  reply.body = std::move(body);
  return reply;
}

StandinReply IndexPage() {
  std::string body =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>domainrank stand-in</title>"
      "</head>\n<body>\n<h1>domainrank stand-in service</h1>\n"
      "<p>Lookup page: <code>/cha/&lt;domain&gt;</code>; result pages: "
      "<code>/s?wd=site%3A&lt;domain&gt;</code> and <code>/s?wd=domain%3A&lt;domain&gt;</code>."
      "</p>\n<table>\n";
  for (const StandinSpecial& s : StandinSpecialDomains())
    body += std::string("<tr><td><a href=\"/cha/") + s.domain + "\">" + s.domain + "</a></td><td>" +
            HtmlEscaped(s.exercises) + "</td></tr>\n";
  body += "</table>\n</body></html>\n";
  return Page(std::move(body));
}

// A 1x1 transparent GIF, so the badge address shows something in a browser.
StandinReply BadgeImage() {
  static const unsigned char kGif[] = {
      0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x00,
      0x00, 0x00, 0xff, 0xff, 0xff, 0x21, 0xf9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2c,
      0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b};
  StandinReply r;
  r.contentType = "image/gif";
  r.body.assign(reinterpret_cast<const char*>(kGif), sizeof kGif);
  return r;
}

// The value of the query key "wd", still escaped; empty when there is none.
std::string SearchWord(const std::string& query) {
  size_t at = 0;
  while (at <= query.size()) {
    const size_t end = std::min(query.find('&', at), query.size());
    if (query.compare(at, 3, "wd=") == 0) return query.substr(at + 3, end - at - 3);
    at = end + 1;
  }
  return {};
}

}  // namespace

StandinValues StandinValuesFor(const std::string& domain) {
  const uint64_t h = Hash(Trimmed(domain));
  StandinValues v;
  v.weight = std::to_string(h % 10);
  v.traffic = std::to_string((h >> 8) % 100000);
  v.siteCount = WithSeparators((h >> 24) % 100000000);
  v.domainCount = WithSeparators((h >> 40) % 1000000);
  return v;
}

const std::vector<StandinSpecial>& StandinSpecialDomains() {
  static const std::vector<StandinSpecial> kSpecial = {
      {"noweight.test", "lookup page without the weight badge image"},
      {"notraffic.test", "lookup page without innerHTML = \""},
      {"bigcount.test", "counts with separators: 1,230,000 (site:) and 45,600 (domain:)"},
      {"nocount.test", "result pages without the count sentence"},
      {"noge.test", "count sentence without its closing character"},
      {"nogbk.test", "characters GBK lacks: traffic 12<U+0E01>34, U+1F600 in the title"},
      {"slow.test", "lookup page answered after 3 seconds"},
      {"hang.test", "lookup page answered after 15 seconds (past a 10 s time-out)"},
      {"error.test", "every page answers 500 with no marker"},
      {"emptybody.test", "every page answers 200 with an empty body"},
  };
  return kSpecial;
}

std::string PercentDecode(const std::string& s) {
  auto hex = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
      out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

StandinReply StandinRespond(const std::string& target, const std::string& badgeHost) {
  const size_t q = target.find('?');
  const std::string path = target.substr(0, q);
  const std::string query = q == std::string::npos ? std::string() : target.substr(q + 1);
  if (StartsWith(path, "/cha/")) return LookupPage(PercentDecode(target.substr(5)), badgeHost);
  if (path == "/s") return SearchPage(PercentDecode(SearchWord(query)));
  if (StartsWith(path, "/images/brs/") && path.size() > 16 &&
      path.compare(path.size() - 4, 4, ".gif") == 0)
    return BadgeImage();
  if (path == "/" || path == "/index.html") return IndexPage();
  return NotFound();
}
