// The stand-in service's pages: the lookup page and the two search result
// pages for any domain, in UTF-8, with values derived from the domain so a
// run can be checked. Pure functions; the server only carries them.
//
// Special domains (leading and trailing spaces of a domain are ignored when
// choosing its page and values; everything else counts, case included):
//
// | domain           | what it exercises                                            |
// |------------------|--------------------------------------------------------------|
// | noweight.test    | lookup page without the weight badge image                   |
// | notraffic.test   | lookup page without `innerHTML = "`                          |
// | bigcount.test    | counts with separators: 1,230,000 (site:) and 45,600 (domain:) |
// | nocount.test     | result pages without 找到相关结果约 (the run shows "0")      |
// | noge.test        | 找到相关结果约 with no 个 after it (the run shows "")        |
// | nogbk.test       | characters GBK lacks: traffic "12<U+0E01>34", U+1F600 in the title |
// | slow.test        | lookup page answered after 3 seconds (values as usual)       |
// | hang.test        | lookup page answered after 15 seconds: past the 10 s time-out |
// | error.test       | every page answers 500 with a page holding no marker         |
// | emptybody.test   | every page answers 200 with an empty body                    |
#pragma once
#include <string>
#include <vector>

// What one domain's pages report, as texts (UTF-8, ASCII here).
struct StandinValues {
  std::string weight;       // 0-9
  std::string traffic;      // 0-99999
  std::string siteCount;    // with thousands separators
  std::string domainCount;  // with thousands separators
};

struct StandinReply {
  int status = 200;
  std::string reason = "OK";
  std::string contentType = "text/html; charset=utf-8";
  std::string body;
  int delayMilliseconds = 0;  // wait before answering
};

struct StandinSpecial {
  const char* domain;
  const char* exercises;
};

// The values an ordinary domain's pages carry.
StandinValues StandinValuesFor(const std::string& domain);
// The special domains and what each exercises, for --help and the index page.
const std::vector<StandinSpecial>& StandinSpecialDomains();
// The reply to a GET of the request target (path and query, as received).
// badgeHost is host[:port] of the weight badge images in the lookup page.
StandinReply StandinRespond(const std::string& target, const std::string& badgeHost);
// %XX escapes decoded; anything malformed is kept as it is.
std::string PercentDecode(const std::string& s);
