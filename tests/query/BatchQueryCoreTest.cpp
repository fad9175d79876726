// The batch run against a scripted host: rows, cells, request order, the
// moments of the writes, a list cleared mid-run and a closing window.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "FakeHost.h"
#include "query/BatchQuery.h"
#include "query/ListModel.h"

namespace {

using Row = std::array<Text, ListModel::kColumnCount>;

const QuerySettings kSettings{"http://look.test/cha/", "search.test:81", "img.look.test"};
const Text kLookup = "http://look.test/cha/";
const Text kSite = "http://search.test:81/s?wd=site%3A";
const Text kDomain = "http://search.test:81/s?wd=domain%3A";

bool StartsWith(const Text& s, const Text& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

Bytes LookupPage(const Text& weight, const Text& traffic) {
  return "<html><p>百度权重：<img src=\"http://img.look.test/images/brs/" + weight +
         ".gif\"></p><script>x.innerHTML = \"" + traffic + "\";</script></html>";
}
Bytes CountPage(const Text& count) { return "<div>百度为您找到相关结果约" + count + "个</div>"; }

// Values a service derives from the domain: a row shows at once whether a
// value came from the right page for the right line.
Bytes EchoService(const Text& url) {
  if (StartsWith(url, kLookup)) {
    const Text d = url.substr(kLookup.size());
    return LookupPage("w" + d, "t" + d);
  }
  if (StartsWith(url, kSite)) return CountPage("s" + url.substr(kSite.size()));
  if (StartsWith(url, kDomain)) return CountPage("d" + url.substr(kDomain.size()));
  return {};
}

Row EchoRow(const Text& d) { return {d, "w" + d, "t" + d, "s" + d, "d" + d, "..."}; }

std::vector<Row> Rows(const ListModel& m) {
  std::vector<Row> rows;
  for (int i = 0; i < m.RowCount(); ++i) rows.push_back(m.Row(i));
  return rows;
}

std::vector<Text> AddressesFor(const std::vector<Text>& lines) {
  std::vector<Text> urls;
  for (const Text& d : lines) {
    urls.push_back(kLookup + d);
    urls.push_back(kSite + d);
    urls.push_back(kDomain + d);
  }
  return urls;
}

TEST(BatchQuery, DomainListsGiveOneRowPerLineAndThreeFetchesInOrder) {
  struct Case {
    const char* name;
    Text list;
    std::vector<Text> lines;  // the rows' domains, in order
  };
  const Case cases[] = {
      {"several domains", "a.com\r\nb.cn\r\nc.net", {"a.com", "b.cn", "c.net"}},
      {"blank line between two", "a.com\r\n\r\nb.cn", {"a.com", "", "b.cn"}},
      {"one trailing CR LF", "a.com\r\nb.cn\r\n", {"a.com", "b.cn"}},
      {"two trailing CR LFs", "a.com\r\n\r\n", {"a.com", ""}},
      {"a single CR LF", "\r\n", {""}},
      {"spaces kept", "  a.com \r\n b.cn", {"  a.com ", " b.cn"}},
      {"same domain twice", "a.com\r\na.com", {"a.com", "a.com"}},
      {"lone CR and LF stay inside the line", "a.com\rb\nc", {"a.com\rb\nc"}},
      {"empty list", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost host;
    host.domainList = c.list;
    host.serve = EchoService;
    BatchQuery(host, kSettings);

    std::vector<Row> expected;
    for (const Text& d : c.lines) expected.push_back(EchoRow(d));
    EXPECT_EQ(Rows(host.model), expected);
    EXPECT_EQ(host.fetched, AddressesFor(c.lines));
    EXPECT_EQ(host.decodes, static_cast<int>(host.fetched.size()));
    EXPECT_EQ(host.messages, std::vector<Text>{"完成"});
    ASSERT_FALSE(host.events.empty());
    EXPECT_EQ(host.events.back(), "message 完成");
  }
}

TEST(BatchQuery, CellsFollowTheMarkerRules) {
  struct Case {
    const char* name;
    Bytes lookup, site, domain;
    Row expected;
  };
  const Bytes plainLookup = LookupPage("7", "1234");
  const Case cases[] = {
      {"all markers", plainLookup, CountPage("88"), CountPage("99"), {"x", "7", "1234", "88", "99", "..."}},
      {"counts keep their separators", plainLookup, CountPage("1,230,000"), CountPage("45,600"),
       {"x", "7", "1234", "1,230,000", "45,600", "..."}},
      {"no weight badge", "<p>innerHTML = \"55\"</p>", CountPage("1"), CountPage("2"),
       {"x", "", "55", "1", "2", "..."}},
      {"badge of another host", "<img src=\"http://other.test/images/brs/3.gif\">innerHTML = \"5\"",
       CountPage("1"), CountPage("2"), {"x", "", "5", "1", "2", "..."}},
      {"no traffic marker", "<img src=\"http://img.look.test/images/brs/4.gif\"> \"quoted\"",
       CountPage("1"), CountPage("2"), {"x", "4", "", "1", "2", "..."}},
      {"traffic marker without its end", "innerHTML = \"12", CountPage("1"), CountPage("2"),
       {"x", "", "", "1", "2", "..."}},
      {"weight without .gif", "http://img.look.test/images/brs/4.png innerHTML = \"6\"", CountPage("1"),
       CountPage("2"), {"x", "", "6", "1", "2", "..."}},
      {"count sentence missing", plainLookup, "<p>抱歉，没有找到</p>", "", {"x", "7", "1234", "0", "0", "..."}},
      {"count sentence without its end", plainLookup, "百度为您找到相关结果约100", CountPage("5"),
       {"x", "7", "1234", "", "5", "..."}},
      {"count sentence spelt apart", plainLookup, "找到相关结果 约12个", CountPage("5"),
       {"x", "7", "1234", "0", "5", "..."}},
      {"every fetch failed", "", "", "", {"x", "", "", "0", "0", "..."}},
      // The count markers are GBK bytes; their UTF-8 spelling is no marker.
      {"count markers as GBK bytes", plainLookup,
       "\xD5\xD2\xB5\xBD\xCF\xE0\xB9\xD8\xBD\xE1\xB9\xFB\xD4\xBC" "42" "\xB8\xF6",
       "\xE6\x89\xBE\xE5\x88\xB0\xE7\x9B\xB8\xE5\x85\xB3\xE7\xBB\x93\xE6\x9E\x9C\xE7\xBA\xA6" "7"
       "\xE4\xB8\xAA",
       {"x", "7", "1234", "42", "0", "..."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost host;
    host.domainList = "x";
    host.serve = [&c](const Text& url) {
      if (url == kLookup + "x") return c.lookup;
      if (url == kSite + "x") return c.site;
      if (url == kDomain + "x") return c.domain;
      return Bytes("unexpected address");
    };
    BatchQuery(host, kSettings);
    ASSERT_EQ(host.model.RowCount(), 1);
    EXPECT_EQ(host.model.Row(0), c.expected);
  }
}

// Each cell is written as soon as its value is known, and the domain before
// any fetch: the list shows the run's progress.
TEST(BatchQuery, WritesEachCellAsSoonAsItIsKnown) {
  FakeHost host;
  host.domainList = "a\r\nb";
  host.serve = EchoService;
  BatchQuery(host, kSettings);
  std::vector<std::string> expected;
  for (const Text d : {"a", "b"}) {
    const std::vector<std::string> line = {
        "append",           "set 0 " + d,          "fetch " + kLookup + d, "set 1 w" + d,
        "set 2 t" + d,      "fetch " + kSite + d,  "set 3 s" + d,          "fetch " + kDomain + d,
        "set 4 d" + d,      "set 5 ...",
    };
    expected.insert(expected.end(), line.begin(), line.end());
  }
  expected.push_back("message 完成");
  EXPECT_EQ(host.events, expected);
}

TEST(BatchQuery, ASecondRunAddsItsRowsBelowTheFirst) {
  FakeHost host;
  host.serve = EchoService;
  host.domainList = "a\r\nb";
  BatchQuery(host, kSettings);
  host.domainList = "c";
  BatchQuery(host, kSettings);
  EXPECT_EQ(Rows(host.model), (std::vector<Row>{EchoRow("a"), EchoRow("b"), EchoRow("c")}));
  EXPECT_EQ(host.messages, (std::vector<Text>{"完成", "完成"}));
}

// While a fetch of line "b" waits, the list is cleared, a nested run adds
// its rows, or both. The writes left for b's row reach that row while it
// exists and no row once it is gone; the rows that exist by then keep their
// cells, and the next line gets a row of its own.
TEST(BatchQuery, NestedClearsAndRunsLeaveOtherRowsAlone) {
  struct Case {
    const char* name;
    int atFetch;  // b's fetches are 4, 5 and 6
    bool clear;
    bool nestedRun;
    std::vector<Row> expected;
  };
  const Case cases[] = {
      {"cleared during the lookup page", 4, true, false, {EchoRow("c")}},
      {"cleared during the site: page", 5, true, false, {EchoRow("c")}},
      {"cleared during the domain: page", 6, true, false, {EchoRow("c")}},
      // b's row had index 1: that index now names y's row, which must keep
      // y's values.
      {"cleared, then a nested run", 4, true, true, {EchoRow("x"), EchoRow("y"), EchoRow("c")}},
      {"cleared late, then a nested run", 6, true, true, {EchoRow("x"), EchoRow("y"), EchoRow("c")}},
      // Nothing removed: b's row still gets its values, below it the nested rows.
      {"a nested run alone", 5, false, true,
       {EchoRow("a"), EchoRow("b"), EchoRow("x"), EchoRow("y"), EchoRow("c")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost host;
    host.domainList = "a\r\nb\r\nc";
    host.serve = EchoService;
    host.duringFetch = [&host, &c](int n) {
      if (n != c.atFetch) return;
      if (c.clear) host.model.DeleteAllRows();
      if (c.nestedRun) {
        FakeHost inner;  // its own seams, the outer host's list
        inner.serve = EchoService;
        inner.domainList = "x\r\ny";
        struct Nested : BatchHost {
          FakeHost& outer;
          FakeHost& fake;
          Nested(FakeHost& o, FakeHost& f) : outer(o), fake(f) {}
          Text DomainListText() override { return fake.DomainListText(); }
          ResultList& Results() override { return outer.Results(); }
          Bytes Fetch(const Text& url) override { return fake.Fetch(url); }
          Text Decode(const Bytes& b) override { return fake.Decode(b); }
          void ShowMessage(const Text& t) override { outer.ShowMessage(t); }
          bool Ending() override { return false; }
        } nested(host, inner);
        BatchQuery(nested, kSettings);
      }
    };
    BatchQuery(host, kSettings);
    EXPECT_EQ(Rows(host.model), c.expected);
    EXPECT_EQ(host.fetched.size(), 9u) << "the run goes on with every line";
    EXPECT_EQ(host.messages.size(), c.nestedRun ? 2u : 1u);
  }
}

// A closing window ends the run quietly: nothing is fetched or written after
// the moment it is seen, and "完成" is not shown.
TEST(BatchQuery, AClosingWindowEndsTheRunQuietly) {
  struct Case {
    const char* name;
    int endDuringFetch;  // 0: ending before the run starts
    size_t fetches;
    std::vector<Row> expected;
  };
  const Case cases[] = {
      {"before the run", 0, 0, {}},
      {"during the first lookup page", 1, 1, {{"a", "", "", "", "", ""}}},
      {"during the first site: page", 2, 2, {{"a", "wa", "ta", "", "", ""}}},
      {"during the first domain: page", 3, 3, {{"a", "wa", "ta", "sa", "", ""}}},
      {"during the last fetch", 6, 6, {EchoRow("a"), {"b", "wb", "tb", "sb", "", ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost host;
    host.domainList = "a\r\nb";
    host.serve = EchoService;
    host.ending = c.endDuringFetch == 0;
    host.duringFetch = [&host, &c](int n) {
      if (n == c.endDuringFetch) host.ending = true;
    };
    BatchQuery(host, kSettings);
    EXPECT_EQ(host.fetched.size(), c.fetches);
    EXPECT_EQ(Rows(host.model), c.expected);
    EXPECT_TRUE(host.messages.empty());
    if (c.fetches > 0) {
      EXPECT_EQ(host.events.back().rfind("fetch ", 0), 0u) << host.events.back();
    }
  }
}

}  // namespace
