// The batch run as the program makes it, with the real page fetch and page
// decoding, against the stand-in service on a loopback port.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Socket.h"
#include "StandinPages.h"
#include "StandinServer.h"
#include "fetch/FetchPage.h"
#include "query/BatchQuery.h"
#include "query/ListModel.h"
#include "text/PageText.h"

namespace {

using Row = std::array<Text, ListModel::kColumnCount>;

QuerySettings SettingsFor(int port) {
  const Text host = "127.0.0.1:" + std::to_string(port);
  return {"http://" + host + "/cha/", host, host};
}

// The program's seams bound to FetchPage and DecodePage; the list is a model
// and the message box a record.
class WineHost : public BatchHost {
 public:
  explicit WineHost(ListModel& model) : model_(model) {}
  Text domainList;
  std::vector<Text> messages;
  // Runs inside each fetch before the page is fetched, as a nested window
  // event would; given the 1-based number of the fetch.
  std::function<void(int fetchNumber)> duringFetch;

  Text DomainListText() override { return domainList; }
  ResultList& Results() override { return model_; }
  Bytes Fetch(const Text& url) override {
    if (duringFetch) duringFetch(++fetches_);
    return FetchPage(url);
  }
  Text Decode(const Bytes& body) override { return DecodePage(body); }
  void ShowMessage(const Text& text) override { messages.push_back(text); }
  bool Ending() override { return false; }

 private:
  ListModel& model_;
  int fetches_ = 0;
};

std::vector<Row> Rows(const ListModel& m) {
  std::vector<Row> rows;
  for (int i = 0; i < m.RowCount(); ++i) rows.push_back(m.Row(i));
  return rows;
}

// The row the stand-in's pages give for an ordinary domain.
Row ServedRow(const Text& line) {
  const StandinValues v = StandinValuesFor(line);
  return {line, v.weight, v.traffic, v.siteCount, v.domainCount, "..."};
}

Text Trimmed(const Text& s) {
  const auto first = s.find_first_not_of(' ');
  return first == Text::npos ? Text() : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

class BatchQueryWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new StandinServer;
    ASSERT_NE(server_->Start(), 0);
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(server_, nullptr);
    server_->ClearRequests();
  }
  static StandinServer* server_;
};
StandinServer* BatchQueryWine::server_ = nullptr;

TEST_F(BatchQueryWine, DomainListsGiveTheirRows) {
  struct Case {
    const char* name;
    Text list;
    std::vector<Row> rows;
  };
  const StandinValues big = StandinValuesFor("bigcount.test");
  const StandinValues nw = StandinValuesFor("noweight.test");
  const StandinValues nt = StandinValuesFor("notraffic.test");
  const StandinValues nc = StandinValuesFor("nocount.test");
  const StandinValues ng = StandinValuesFor("noge.test");
  const StandinValues gbk = StandinValuesFor("nogbk.test");
  const Case cases[] = {
      {"several domains", "a.com\r\nb.cn\r\nc.net", {ServedRow("a.com"), ServedRow("b.cn"), ServedRow("c.net")}},
      {"blank line between two", "a.com\r\n\r\nb.cn", {ServedRow("a.com"), ServedRow(""), ServedRow("b.cn")}},
      {"one trailing CR LF", "a.com\r\nb.cn\r\n", {ServedRow("a.com"), ServedRow("b.cn")}},
      {"two trailing CR LFs", "a.com\r\n\r\n", {ServedRow("a.com"), ServedRow("")}},
      {"a single CR LF", "\r\n", {ServedRow("")}},
      {"leading and trailing spaces kept",
       "  a.com \r\n b.cn",
       {{"  a.com ", ServedRow("a.com")[1], ServedRow("a.com")[2], ServedRow("a.com")[3],
         ServedRow("a.com")[4], "..."},
        {" b.cn", ServedRow("b.cn")[1], ServedRow("b.cn")[2], ServedRow("b.cn")[3], ServedRow("b.cn")[4],
         "..."}}},
      {"the same domain twice", "a.com\r\na.com", {ServedRow("a.com"), ServedRow("a.com")}},
      {"no weight badge", "noweight.test", {{"noweight.test", "", nw.traffic, nw.siteCount, nw.domainCount, "..."}}},
      {"no traffic marker", "notraffic.test",
       {{"notraffic.test", nt.weight, "", nt.siteCount, nt.domainCount, "..."}}},
      {"counts with separators kept as text", "bigcount.test",
       {{"bigcount.test", big.weight, big.traffic, "1,230,000", "45,600", "..."}}},
      {"no count sentence", "nocount.test", {{"nocount.test", nc.weight, nc.traffic, "0", "0", "..."}}},
      {"count sentence without its end", "noge.test", {{"noge.test", ng.weight, ng.traffic, "", "", "..."}}},
      {"a character GBK lacks", "nogbk.test",
       {{"nogbk.test", gbk.weight, "12?34", gbk.siteCount, gbk.domainCount, "..."}}},
      {"error status pages", "error.test", {{"error.test", "", "", "0", "0", "..."}}},
      {"empty bodies", "emptybody.test", {{"emptybody.test", "", "", "0", "0", "..."}}},
      {"a slow page", "slow.test", {ServedRow("slow.test")}},
      {"an empty list", "", {}},
  };
  const int port = server_->Port();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server_->ClearRequests();
    ListModel model;
    WineHost host(model);
    host.domainList = c.list;
    BatchQuery(host, SettingsFor(port));
    EXPECT_EQ(Rows(model), c.rows);
    EXPECT_EQ(host.messages, std::vector<Text>{"完成"});

    // Three requests per line, in order, each for that line.
    const std::vector<std::string> got = server_->Requests();
    ASSERT_EQ(got.size(), 3 * c.rows.size());
    for (size_t i = 0; i < got.size(); ++i) {
      static const char* const kPrefixes[] = {"/cha/", "/s?wd=site%3A", "/s?wd=domain%3A"};
      const std::string prefix = kPrefixes[i % 3];
      SCOPED_TRACE(got[i]);
      ASSERT_EQ(got[i].rfind(prefix, 0), 0u);
      EXPECT_EQ(Trimmed(PercentDecode(got[i].substr(prefix.size()))), Trimmed(c.rows[i / 3][0]));
    }
  }
}

TEST_F(BatchQueryWine, TheServiceReceivesThreeRequestsPerLineInOrder) {
  ListModel model;
  WineHost host(model);
  host.domainList = "a.com\r\nb.cn";
  BatchQuery(host, SettingsFor(server_->Port()));
  EXPECT_EQ(server_->Requests(),
            (std::vector<std::string>{"/cha/a.com", "/s?wd=site%3Aa.com", "/s?wd=domain%3Aa.com", "/cha/b.cn",
                                      "/s?wd=site%3Ab.cn", "/s?wd=domain%3Ab.cn"}));
}

TEST_F(BatchQueryWine, AnUnreachableServiceStillCompletesEveryRow) {
  SocketLibrary sockets;
  int closedPort = 0;
  {
    // A port that was just free and is closed again: nothing listens there.
    Socket probe = Socket::ListenLoopback(0);
    closedPort = probe.LocalPort();
  }
  ASSERT_NE(closedPort, 0);
  ListModel model;
  WineHost host(model);
  host.domainList = "a.com\r\n\r\nb.cn";
  BatchQuery(host, SettingsFor(closedPort));
  EXPECT_EQ(Rows(model), (std::vector<Row>{{"a.com", "", "", "0", "0", "..."},
                                           {"", "", "", "0", "0", "..."},
                                           {"b.cn", "", "", "0", "0", "..."}}));
  EXPECT_EQ(host.messages, std::vector<Text>{"完成"});
}

// The list is cleared inside a fetch of line "b.cn" (fetches 4 to 6); with a
// nested run, new rows take the index b.cn's row had. b.cn's later values
// must reach no row.
TEST_F(BatchQueryWine, ARowRemovedDuringTheRunTakesNoLaterWrites) {
  struct Case {
    const char* name;
    int clearAtFetch;
    bool nestedRun;
    std::vector<Row> rows;
  };
  const Case cases[] = {
      {"cleared during the lookup page", 4, false, {ServedRow("c.net")}},
      {"cleared during the domain: page", 6, false, {ServedRow("c.net")}},
      {"cleared, then a nested run", 5, true, {ServedRow("x.org"), ServedRow("y.org"), ServedRow("c.net")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ListModel model;
    WineHost host(model);
    host.domainList = "a.com\r\nb.cn\r\nc.net";
    int nestedMessages = 0;
    host.duringFetch = [&](int n) {
      if (n != c.clearAtFetch) return;
      model.DeleteAllRows();
      if (c.nestedRun) {
        WineHost inner(model);
        inner.domainList = "x.org\r\ny.org";
        BatchQuery(inner, SettingsFor(server_->Port()));
        nestedMessages = static_cast<int>(inner.messages.size());
      }
    };
    BatchQuery(host, SettingsFor(server_->Port()));
    EXPECT_EQ(Rows(model), c.rows);
    EXPECT_EQ(host.messages, std::vector<Text>{"完成"});
    EXPECT_EQ(nestedMessages, c.nestedRun ? 1 : 0);
  }
}

}  // namespace
