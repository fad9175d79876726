#include "fetch/FetchWorker.h"

#include <gtest/gtest.h>

#include "FetchTestSupport.h"
#include "fetch/FetchRecords.h"

namespace {

using namespace std::string_literals;

Bytes Contents(MemoryStream& s) {
  s.SeekToStart();
  return s.ReadBytes(s.Length());
}

class FetchWorkerTest : public ::testing::Test {
 protected:
  loopback::Server server_;
};

TEST_F(FetchWorkerTest, ReplaceTheRequestWithTheWholeReply) {
  server_.Script(loopback::Respond("200 OK", "bo\0dy"s));
  FetchExchange ex;
  FetchRequest rq;
  rq.url = server_.Url("/w");
  WriteFetchRequest(ex.stream, rq);
  EXPECT_EQ(RunFetchWorker(ex), 1);
  FetchReply reply;
  ASSERT_TRUE(ReadFetchReply(ex.stream, reply));
  EXPECT_EQ(reply.marker, "Zorvek_OK");
  EXPECT_EQ(reply.body, "bo\0dy"s);
  EXPECT_EQ(reply.rawHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  EXPECT_TRUE(ex.stream.AtEnd());
}

TEST_F(FetchWorkerTest, WrongMarkerLeavesTheBufferAsItWasAndSendsNothing) {
  const Bytes tail = server_.Url("/m") + "\0\0\0\0\0\0\0"s;
  const Bytes contents[] = {"zorvek\0"s + tail, "Zorvek_OK\0"s + tail, "Zorve\0"s + tail,
                            "\0"s + tail, ""};
  for (const Bytes& c : contents) {
    SCOPED_TRACE(c.substr(0, c.find('\0')));
    FetchExchange ex;
    ex.stream.WriteBytes(c);
    EXPECT_EQ(RunFetchWorker(ex), 0);
    EXPECT_TRUE(Contents(ex.stream) == c);
  }
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(FetchWorkerTest, EarlyStopsLeaveTheBufferEmpty) {
  struct Case {
    const char* name;
    Text url, verb;
  };
  const Case cases[] = {
      {"verb PUT", server_.Url("/p"), "PUT"},
      {"verb HEAD", server_.Url("/p"), "HEAD"},
      {"port out of range", "http://127.0.0.1:70000/", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FetchExchange ex;
    FetchRequest rq;
    rq.url = c.url;
    rq.verb = c.verb;
    WriteFetchRequest(ex.stream, rq);
    EXPECT_EQ(RunFetchWorker(ex), 0);
    EXPECT_EQ(ex.stream.Length(), 0u);
  }
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(FetchWorkerTest, AbandonedExchangeGetsNoReply) {
  server_.Script(loopback::Respond("200 OK", "late"));
  FetchExchange ex;
  FetchRequest rq;
  rq.url = server_.Url("/a");
  WriteFetchRequest(ex.stream, rq);
  ex.Abandon();
  EXPECT_EQ(RunFetchWorker(ex), 0);
  EXPECT_EQ(ex.stream.Length(), 0u);
  EXPECT_TRUE(server_.Requests().empty());
}

TEST(FetchWorkerThread, WithoutAnExchangeEndsAtOnce) {
  EXPECT_EQ(FetchWorker(nullptr), 0u);
  EXPECT_EQ(FetchWorker(new std::shared_ptr<FetchExchange>()), 0u);
}

TEST_F(FetchWorkerTest, HeaderBlockOver1024BytesIsKeptWhole) {
  const std::string filler = "X-Filler: " + std::string(2000, 'f') + "\r\n";
  server_.Script(loopback::Respond("200 OK", "body", filler));
  FetchExchange ex;
  FetchRequest rq;
  rq.url = server_.Url("/big");
  WriteFetchRequest(ex.stream, rq);
  EXPECT_EQ(RunFetchWorker(ex), 1);
  FetchReply reply;
  ASSERT_TRUE(ReadFetchReply(ex.stream, reply));
  EXPECT_GT(reply.rawHeaders.size(), 2000u);
  EXPECT_NE(reply.rawHeaders.find(filler), std::string::npos);
  EXPECT_EQ(reply.rawHeaders.substr(reply.rawHeaders.size() - 4), "\r\n\r\n");
  EXPECT_EQ(reply.body, "body");
}

}  // namespace
