#include "fetch/FetchHeaders.h"

#include <gtest/gtest.h>

namespace {

const Text kAccept =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";
const Text kUrl = "http://Www.Example.com:81/s?wd=site:a.com";
const Text kReferer = "Referer: " + kUrl + "\r\n";
const Text kLanguage = "Accept-Language: zh-cn\r\n";

TEST(FetchHeaders, DefaultLinesAreAddedInOrderWhenTheirNamesAreMissing) {
  struct Case {
    const char* name;
    Text extra;
    Text expected;
  };
  const Case cases[] = {
      {"none given", "", kAccept + kReferer + kLanguage},
      {"Accept in lower case", "accept: text/html\r\n",
       "accept: text/html\r\n" + kReferer + kLanguage},
      {"inside an X-Accept line", "X-Accept: 1\r\n", "X-Accept: 1\r\n" + kReferer + kLanguage},
      {"all three given", "REFERER: r\r\nAccept-Language: en\r\nAccept: */*\r\n",
       "REFERER: r\r\nAccept-Language: en\r\nAccept: */*\r\n"},
      // "Accept-Language: " does not contain "Accept: ", so Accept is still added.
      {"only Accept-Language", "Accept-Language: en\r\n",
       "Accept-Language: en\r\n" + kAccept + kReferer},
      {"name without the space", "Accept:*/*\r\n", "Accept:*/*\r\n" + kAccept + kReferer + kLanguage},
      {"no line end given", "X: 1", "X: 1" + kAccept + kReferer + kLanguage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RequestHeaders(c.extra, kUrl), c.expected);
  }
}

TEST(FetchHeaders, PostLines) {
  const Text type = "Content-Type: application/x-www-form-urlencoded\r\n";
  struct Case {
    const char* name;
    Text headers, postData, expected;
  };
  const Case cases[] = {
      {"seven bytes", "A: 1\r\n", "a=1&b=2", "A: 1\r\n" + type + "Content-Length: 7\r\n"},
      {"type given in lower case", "content-type: text/plain\r\n", "x",
       "content-type: text/plain\r\nContent-Length: 1\r\n"},
      {"length given is not noticed", "Content-Length: 7\r\n", "a=1&b=2",
       "Content-Length: 7\r\n" + type + "Content-Length: 7\r\n"},
      {"length in bytes", "", "中文", type + "Content-Length: 4\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PostHeaders(c.headers, c.postData), c.expected);
  }
}

TEST(FetchHeaders, VerbsAndBlankTexts) {
  struct Case {
    Text verb;
    FetchVerb kind;
  };
  const Case cases[] = {
      {"", FetchVerb::kGet},       {"GET", FetchVerb::kGet},      {"get", FetchVerb::kGet},
      {"gEt", FetchVerb::kGet},    {"POST", FetchVerb::kPost},    {"post", FetchVerb::kPost},
      {"PUT", FetchVerb::kOther},  {"HEAD", FetchVerb::kOther},   {"DELETE", FetchVerb::kOther},
      {" GET", FetchVerb::kOther}, {"GETS", FetchVerb::kOther},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("verb [" + c.verb + "]");
    EXPECT_EQ(ClassifyVerb(c.verb), c.kind);
  }
  EXPECT_TRUE(IsBlank(""));
  EXPECT_TRUE(IsBlank("   "));
  EXPECT_FALSE(IsBlank(" a "));
}

TEST(FetchHeaders, CookiesFromSetCookieLines) {
  struct Case {
    const char* name;
    Text headers;
    std::vector<std::pair<Text, Text>> cookies;
  };
  const Case cases[] = {
      {"name, value and path",
       "HTTP/1.1 200 OK\r\nSet-Cookie: sid=abc; path=/\r\nContent-Length: 0\r\n\r\n",
       {{"sid", "abc; path=/"}}},
      {"several, any case",
       "HTTP/1.1 200 OK\r\nset-cookie: a=1\r\nSET-COOKIE: b=2=3\r\n\r\n",
       {{"a", "1"}, {"b", "2=3"}}},
      {"no equals sign", "Set-Cookie: flag\r\n", {{"", "flag"}}},
      // The first 12 bytes go whatever they are.
      {"after other characters", "X-Set-Cookie: q=1\r\n", {{": q", "1"}}},
      {"none", "HTTP/1.1 200 OK\r\nCookie: a=1\r\n\r\n", {}},
      {"header query failed", std::string(1024, ' '), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::pair<Text, Text>> got;
    for (const StoredCookie& k : CookiesToStore(c.headers)) got.emplace_back(k.name, k.data);
    EXPECT_EQ(got, c.cookies);
  }
  EXPECT_EQ(CookieAddress("www.example.com"), "http://www.example.com");
}

}  // namespace
