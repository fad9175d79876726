#include "fetch/MemoryStream.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(MemoryStream, FieldsAreEncodedByteForByte) {
  MemoryStream s;
  Text text = "ab";
  Bytes bytes = "x\0y"s;
  Bytes big(0x0102, 'z');
  s.WriteTextField(text);
  s.WriteBytesField(bytes);
  s.WriteTextField("");
  s.WriteBytesField("");
  s.WriteBytesField(big);
  s.WriteBytes("\0q"s);
  s.WriteText("end");
  Bytes expected = "ab\0"s + "\x03\0\0\0x\0y"s + "\0"s + "\0\0\0\0"s + "\x02\x01\0\0"s + big +
                   "\0q"s + "end";
  s.SeekToStart();
  EXPECT_EQ(s.ReadBytes(s.Length()), expected);
  EXPECT_TRUE(s.AtEnd());
}

TEST(MemoryStream, TextFieldStopsAtAZeroByteInsideTheText) {
  MemoryStream s;
  s.WriteTextField("ab\0cd"s);
  s.WriteTextField("next");
  s.SeekToStart();
  Text a, b;
  ASSERT_TRUE(s.ReadFields({TextField(a), TextField(b)}));
  EXPECT_EQ(a, "ab");
  EXPECT_EQ(b, "next");
  EXPECT_EQ(s.Length(), 8u);
}

TEST(MemoryStream, RoundTripOfMixedFields) {
  MemoryStream s;
  Text t1 = "中文 text", t2;
  Bytes b1 = "\0\0bin\xff\0"s, b2;
  s.WriteFields({TextField(t1), BytesField(b1), TextField(t2), BytesField(b2)});
  s.SeekToStart();
  Text r1 = "old", r2 = "old";
  Bytes q1 = "old", q2 = "old";
  ASSERT_TRUE(s.ReadFields({TextField(r1), BytesField(q1), TextField(r2), BytesField(q2)}));
  EXPECT_EQ(r1, t1);
  EXPECT_EQ(q1, b1);
  EXPECT_EQ(r2, "");
  EXPECT_EQ(q2, "");
  EXPECT_TRUE(s.AtEnd());
}

TEST(MemoryStream, WritesOverwriteAtThePositionAndExtendPastTheEnd) {
  MemoryStream s;
  s.WriteText("abcdef");
  s.SeekToStart();
  s.WriteTextField("xy");
  EXPECT_EQ(s.Length(), 6u);
  EXPECT_EQ(s.Position(), 3u);
  s.WriteText("DEFGH");
  s.SeekToStart();
  EXPECT_EQ(s.ReadBytes(100), "xy\0DEFGH"s);
}

TEST(MemoryStream, RemoveAllEmptiesAndRewinds) {
  MemoryStream s;
  s.WriteText("abc");
  s.RemoveAll();
  EXPECT_EQ(s.Length(), 0u);
  EXPECT_EQ(s.Position(), 0u);
  EXPECT_TRUE(s.AtEnd());
  Text t = "kept";
  EXPECT_FALSE(s.ReadTextField(t));
  EXPECT_EQ(t, "kept");
}

TEST(MemoryStream, TextFieldReads) {
  struct Case {
    const char* name;
    Bytes content;
    bool ok;
    Text value;
    size_t position;
  };
  const Case cases[] = {
      {"ended by zero", "abc\0rest"s, true, "abc", 4},
      {"empty field", "\0x"s, true, "", 1},
      {"no zero: the rest", "tail", true, "tail", 4},
      {"nothing left", "", false, "before", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryStream s;
    s.WriteBytes(c.content);
    s.SeekToStart();
    Text value = "before";
    EXPECT_EQ(s.ReadTextField(value), c.ok);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(s.Position(), c.position);
  }
}

TEST(MemoryStream, ByteStringFieldReads) {
  struct Case {
    const char* name;
    Bytes content;
    bool ok;
    Bytes value;
    size_t position;
  };
  const Case cases[] = {
      {"exact", "\x02\0\0\0ab"s, true, "ab", 6},
      {"zero length", "\0\0\0\0z"s, true, "", 4},
      {"length above the bytes left", "\x05\0\0\0ab"s, false, "before", 0},
      {"length cut short", "\x01\0\0"s, false, "before", 0},
      {"huge length", "\xff\xff\xff\xff"s, false, "before", 0},
      {"empty stream", "", false, "before", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryStream s;
    s.WriteBytes(c.content);
    s.SeekToStart();
    Bytes value = "before";
    EXPECT_EQ(s.ReadBytesField(value), c.ok);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(s.Position(), c.position);
  }
}

TEST(MemoryStream, ReadBytesTakesWhatIsLeft) {
  MemoryStream s;
  s.WriteText("abcde");
  s.SeekToStart();
  EXPECT_EQ(s.ReadBytes(2), "ab");
  EXPECT_EQ(s.ReadBytes(10), "cde");
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(s.ReadBytes(1), "");
}

TEST(MemoryStream, ReadLineSplitsAtLineFeedsAndDropsOneCarriageReturn) {
  struct Case {
    const char* name;
    Text content;
    std::vector<Text> lines;
  };
  const Case cases[] = {
      {"CRLF and LF", "a\r\nb\nc", {"a", "b", "c"}},
      {"final line feed", "a\r\n", {"a"}},
      {"empty lines", "\r\n\n", {"", ""}},
      {"two carriage returns", "x\r\r\n", {"x\r"}},
      {"lone carriage return stays inside", "p\rq\n", {"p\rq"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryStream s;
    s.WriteText(c.content);
    s.SeekToStart();
    std::vector<Text> lines;
    while (!s.AtEnd()) lines.push_back(s.ReadLine());
    EXPECT_EQ(lines, c.lines);
  }
}

TEST(MemoryStream, FailedMultiFieldReadKeepsEarlierFieldsAndRewinds) {
  MemoryStream s;
  s.WriteTextField("skip");
  s.WriteTextField("one");
  s.WriteBytesField("two");
  s.WriteText("\x09\0\0\0short"s);  // a byte-string field that claims 9 bytes
  s.SeekToStart();
  Text skipped;
  ASSERT_TRUE(s.ReadTextField(skipped));
  const size_t start = s.Position();

  Text a = "a0";
  Bytes b = "b0", c = "c0";
  Text d = "d0";
  EXPECT_FALSE(s.ReadFields({TextField(a), BytesField(b), BytesField(c), TextField(d)}));
  EXPECT_EQ(a, "one");
  EXPECT_EQ(b, "two");
  EXPECT_EQ(c, "c0");
  EXPECT_EQ(d, "d0");
  EXPECT_EQ(s.Position(), start);

  // The same fields read again from the restored position.
  Text again;
  ASSERT_TRUE(s.ReadTextField(again));
  EXPECT_EQ(again, "one");
}

}  // namespace
