// The stand-in service: its pages (pure) and its behaviour on the wire.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <string_view>
#include <vector>

#include "Socket.h"
#include "StandinPages.h"
#include "StandinServer.h"

namespace {

// The pages are UTF-8 while this file's plain literals are GBK.
std::string U8(std::u8string_view s) { return std::string(s.begin(), s.end()); }
bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

const std::string kBadge = "img.test:99";
std::string WeightMarker(const std::string& w) { return "http://img.test:99/images/brs/" + w + ".gif"; }
std::string TrafficMarker(const std::string& t) { return "innerHTML = \"" + t + "\""; }
std::string Count(const std::string& n) { return U8(u8"找到相关结果约") + n + U8(u8"个"); }

TEST(StandinPages, OrdinaryDomainsCarryTheirOwnValues) {
  // Pinned, so a change of the derivation is a deliberate one.
  const StandinValues v = StandinValuesFor("example.com");
  EXPECT_EQ(v.weight, "0");
  EXPECT_EQ(v.traffic, "92692");
  EXPECT_EQ(v.siteCount, "11,598,158");
  // Surrounding spaces do not change the values; case does.
  EXPECT_EQ(StandinValuesFor("  example.com ").traffic, v.traffic);
  EXPECT_NE(StandinValuesFor("Example.com").traffic, v.traffic);

  const StandinReply lookup = StandinRespond("/cha/example.com", kBadge);
  EXPECT_EQ(lookup.status, 200);
  EXPECT_TRUE(Has(lookup.body, WeightMarker(v.weight)));
  EXPECT_TRUE(Has(lookup.body, TrafficMarker(v.traffic)));
  EXPECT_TRUE(Has(StandinRespond("/s?wd=site%3Aexample.com", kBadge).body, Count(v.siteCount)));
  EXPECT_TRUE(Has(StandinRespond("/s?wd=domain%3Aexample.com&ie=utf-8", kBadge).body, Count(v.domainCount)));
  // The bare prefixes of a blank line still get pages.
  EXPECT_TRUE(Has(StandinRespond("/cha/", kBadge).body, TrafficMarker(StandinValuesFor("").traffic)));
  EXPECT_TRUE(Has(StandinRespond("/s?wd=site%3A", kBadge).body, Count(StandinValuesFor("").siteCount)));
}

TEST(StandinPages, SpecialDomainsBreakTheirRule) {
  struct Case {
    const char* target;
    int status;
    std::vector<std::string> present, absent;
    int delay;
  };
  const std::string kCountStart = U8(u8"找到相关结果约");
  const Case cases[] = {
      {"/cha/noweight.test", 200, {"innerHTML = \""}, {"/images/brs/"}, 0},
      {"/cha/notraffic.test", 200, {"/images/brs/"}, {"innerHTML = \""}, 0},
      {"/s?wd=site%3Abigcount.test", 200, {Count("1,230,000")}, {}, 0},
      {"/s?wd=domain%3Abigcount.test", 200, {Count("45,600")}, {}, 0},
      {"/s?wd=site%3Anocount.test", 200, {}, {kCountStart}, 0},
      {"/s?wd=domain%3Anoge.test", 200, {kCountStart}, {U8(u8"个")}, 0},
      {"/cha/nogbk.test", 200, {TrafficMarker(U8(u8"12\u0E0134")), U8(u8"\U0001F600")}, {}, 0},
      {"/cha/slow.test", 200, {"innerHTML = \""}, {}, 3000},
      {"/cha/hang.test", 200, {"innerHTML = \""}, {}, 15000},
      {"/cha/error.test", 500, {}, {"/images/brs/", "innerHTML"}, 0},
      {"/s?wd=site%3Aerror.test", 500, {}, {kCountStart}, 0},
      {"/s?wd=site%3Aemptybody.test", 200, {}, {kCountStart}, 0},
      {"/nothing", 404, {}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    const StandinReply r = StandinRespond(c.target, kBadge);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.delayMilliseconds, c.delay);
    for (const std::string& p : c.present) EXPECT_TRUE(Has(r.body, p)) << p;
    for (const std::string& a : c.absent) EXPECT_FALSE(Has(r.body, a)) << a;
  }
  EXPECT_TRUE(StandinRespond("/cha/emptybody.test", kBadge).body.empty());
}

// One GET over a plain socket: the raw response, or "" when none came.
std::string Get(int port, const std::string& target) {
  Socket s = Socket::ConnectLoopback(port);
  if (!s.Valid()) return {};
  if (!s.SendAll("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")) return {};
  std::string response;
  std::vector<char> buffer(4096);
  while (s.WaitReadable(20000)) {
    const int n = s.Receive(buffer.data(), static_cast<int>(buffer.size()));
    if (n <= 0) break;
    response.append(buffer.data(), static_cast<size_t>(n));
  }
  return response;
}

class StandinServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StandinOptions options;
    options.log = [this](const std::string& line) { logged_.push_back(line); };
    port_ = server_.Start(options);
    ASSERT_NE(port_, 0);
  }
  SocketLibrary sockets_;
  StandinServer server_;
  std::vector<std::string> logged_;  // written on the connection threads, read after Stop
  int port_ = 0;
};

TEST_F(StandinServerTest, AnswersWithAWholeClosedResponseAndRecordsTheRequests) {
  const std::string r = Get(port_, "/cha/example.com");
  const size_t headEnd = r.find("\r\n\r\n");
  ASSERT_NE(headEnd, std::string::npos) << r;
  const std::string head = r.substr(0, headEnd + 2), body = r.substr(headEnd + 4);
  EXPECT_EQ(head.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  EXPECT_TRUE(Has(head, "Content-Type: text/html; charset=utf-8\r\n"));
  EXPECT_TRUE(Has(head, "Content-Length: " + std::to_string(body.size()) + "\r\n"));
  EXPECT_TRUE(Has(head, "Connection: close\r\n"));
  // The default badge host is the service itself.
  EXPECT_TRUE(Has(body, "http://127.0.0.1:" + std::to_string(port_) + "/images/brs/"));

  EXPECT_EQ(Get(port_, "/s?wd=site%3Aerror.test").rfind("HTTP/1.1 500 ", 0), 0u);
  EXPECT_EQ(server_.Requests(), (std::vector<std::string>{"/cha/example.com", "/s?wd=site%3Aerror.test"}));
  server_.ClearRequests();
  EXPECT_TRUE(server_.Requests().empty());
  server_.Stop();
  EXPECT_EQ(logged_, (std::vector<std::string>{"GET /cha/example.com HTTP/1.1",
                                               "GET /s?wd=site%3Aerror.test HTTP/1.1"}));
}

TEST_F(StandinServerTest, ASlowPageHoldsUpOnlyItsOwnRequest) {
  auto slow = std::async(std::launch::async, [this] { return Get(port_, "/cha/slow.test"); });
  // Wait until the slow request has arrived, so the next one is truly later.
  while (server_.Requests().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const std::string quick = Get(port_, "/cha/a.com");
  EXPECT_EQ(quick.rfind("HTTP/1.1 200 OK", 0), 0u);
  EXPECT_EQ(slow.wait_for(std::chrono::seconds(0)), std::future_status::timeout)
      << "the slow page came back before the quick one";
  EXPECT_TRUE(Has(slow.get(), "innerHTML = \""));
}

// Neither a delayed page nor a peer that never sends its request holds Stop
// up for the page's 15 seconds or the read's 10.
TEST_F(StandinServerTest, StopCutsDelaysAndSilentPeersShort) {
  Socket silent = Socket::ConnectLoopback(port_);
  ASSERT_TRUE(silent.Valid());
  auto hang = std::async(std::launch::async, [this] { return Get(port_, "/cha/hang.test"); });
  while (server_.Requests().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const auto start = std::chrono::steady_clock::now();
  server_.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(hang.get(), "");
  EXPECT_FALSE(Socket::ConnectLoopback(port_).Valid()) << "still listening after Stop";
}

}  // namespace
