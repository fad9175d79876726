#include <gtest/gtest.h>

#include "fetch/Url.h"

namespace {

TEST(Url, SplitsAddresses) {
  struct Case {
    const char* name;
    Text url, host, hostWithPort, path;
    int port;
  };
  const Case cases[] = {
      {"host only", "http://Example.COM", "example.com", "example.com", "/", 80},
      {"port path query", "http://WWW.Example.com:8080/Cha/A.com?x=1&Y=2", "www.example.com",
       "www.example.com:8080", "/Cha/A.com?x=1&Y=2", 8080},
      {"no scheme with path", "a.com/x", "a.com", "a.com", "/x", 80},
      {"no scheme no slash", "a.com", "a.com", "a.com", "/", 80},
      {"secure scheme", "https://a.com/x", "https", "https:", "//a.com/x", 0},
      {"capital scheme", "HTTP://a.com/x", "http", "http:", "//a.com/x", 0},
      {"query without slash", "http://a.com?q=1", "a.com?q=1", "a.com?q=1", "/", 80},
      {"inner scheme in query", "a.com?u=http://b.com/p", "b.com", "b.com", "/p", 80},
      {"port not a number", "http://a.com:x/", "a.com", "a.com:x", "/", 0},
      {"empty port", "http://a.com:/", "a.com", "a.com:", "/", 0},
      {"full-width port", "http://a.com:\xA3\xB8\xA3\xB1/", "a.com", "a.com:\xA3\xB8\xA3\xB1", "/",
       81},
      {"credentials not recognised", "http://u:p@h.com/", "u", "u:p@h.com", "/", 0},
      {"short host found earlier", "http://t/a", "t", "t", "//t/a", 80},
      {"empty address", "", "", "", "/", 80},
      {"blank domain line", "http://127.0.0.1:9/cha/", "127.0.0.1", "127.0.0.1:9", "/cha/", 9},
      {"spaces kept", "http://s.b/s?wd=site%3A a.com ", "s.b", "s.b", "/s?wd=site%3A a.com ", 80},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(UrlHost(c.url, false), c.host);
    EXPECT_EQ(UrlHost(c.url, true), c.hostWithPort);
    EXPECT_EQ(UrlPath(c.url), c.path);
    EXPECT_EQ(UrlPort(c.url), c.port);
  }
}

}  // namespace
