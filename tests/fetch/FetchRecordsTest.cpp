#include "fetch/FetchRecords.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

Bytes Contents(MemoryStream& s) {
  s.SeekToStart();
  return s.ReadBytes(s.Length());
}

TEST(FetchRecords, RequestLayout) {
  FetchRequest rq;
  rq.marker = "ignored: writing puts the fixed marker";
  rq.url = "http://h/p";
  rq.verb = "POST";
  rq.proxy = "px:8080";
  rq.userName = "u";
  rq.password = "pw";
  rq.extraHeaders = "X: 1\r\n";
  rq.postData = "a=1";
  MemoryStream s;
  WriteFetchRequest(s, rq);
  EXPECT_EQ(Contents(s), "Zorvek\0http://h/p\0POST\0px:8080\0u\0pw\0X: 1\r\n\0a=1\0"s);

  MemoryStream empty;
  WriteFetchRequest(empty, FetchRequest{});
  EXPECT_EQ(Contents(empty), "Zorvek\0\0\0\0\0\0\0\0"s);
}

TEST(FetchRecords, ReplyLayout) {
  FetchReply reply;
  reply.rawHeaders = "HTTP/1.1 200 OK\r\n\r\n";
  reply.body = "a\0b"s;
  MemoryStream s;
  WriteFetchReply(s, reply);
  EXPECT_EQ(Contents(s), "Zorvek_OK\0HTTP/1.1 200 OK\r\n\r\n\0\x03\0\0\0a\0b"s);
}

TEST(FetchRecords, RoundTrips) {
  FetchRequest rq;
  rq.url = "http://例子.cn/s?wd=site:a.com";
  rq.verb = "get";
  rq.extraHeaders = "Accept: */*\r\n";
  MemoryStream s;
  WriteFetchRequest(s, rq);
  FetchRequest back;
  ASSERT_TRUE(ReadFetchRequest(s, back));
  EXPECT_EQ(back.marker, kRequestMarker);
  EXPECT_EQ(back.url, rq.url);
  EXPECT_EQ(back.verb, rq.verb);
  EXPECT_EQ(back.proxy, "");
  EXPECT_EQ(back.extraHeaders, rq.extraHeaders);
  EXPECT_EQ(back.postData, "");
  EXPECT_TRUE(s.AtEnd());

  FetchReply reply;
  reply.rawHeaders = std::string(1024, ' ');
  reply.body = std::string(70000, '\0') + "end";
  MemoryStream r;
  WriteFetchReply(r, reply);
  FetchReply got;
  ASSERT_TRUE(ReadFetchReply(r, got));
  EXPECT_EQ(got.marker, kReplyMarker);
  EXPECT_EQ(got.rawHeaders, reply.rawHeaders);
  EXPECT_EQ(got.body, reply.body);
}

TEST(FetchRecords, ReplyOverAnEmptiedRequestIsTheWholeContent) {
  FetchRequest rq;
  rq.url = std::string(300, 'u');
  MemoryStream s;
  WriteFetchRequest(s, rq);
  s.SeekToStart();
  s.RemoveAll();
  FetchReply reply;
  reply.body = "b";
  WriteFetchReply(s, reply);
  EXPECT_EQ(Contents(s), "Zorvek_OK\0\0\x01\0\0\0b"s);
}

TEST(FetchRecords, ShortRepliesReadAsFarAsTheyGo) {
  struct Case {
    const char* name;
    Bytes content;
    Text marker, headers;
    Bytes body;
  };
  const Case cases[] = {
      {"empty buffer (worker stopped early)", "", "", "", ""},
      {"body length beyond the end", "Zorvek_OK\0H\0\x09\0\0\0abc"s, "Zorvek_OK", "H", ""},
      {"no body field", "Zorvek_OK\0H\0"s, "Zorvek_OK", "H", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryStream s;
    s.WriteBytes(c.content);
    FetchReply reply;
    EXPECT_FALSE(ReadFetchReply(s, reply));
    EXPECT_EQ(reply.marker, c.marker);
    EXPECT_EQ(reply.rawHeaders, c.headers);
    EXPECT_EQ(reply.body, c.body);
  }
}

}  // namespace
