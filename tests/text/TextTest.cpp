#include <gtest/gtest.h>

#include <thread>

#include "text/PageText.h"
#include "text/Text.h"

namespace {

// GBK bytes of two characters: D5 D2 and B5 BD.
const Text kTwoChars = "\xD5\xD2\xB5\xBD";

TEST(FindText, PositionsAndStartRules) {
  struct Case {
    const char* name;
    Text text, sought;
    std::optional<int> start;
    bool ignoreCase;
    int want;
  };
  const Case cases[] = {
      {"no start", "abcabc", "c", std::nullopt, false, 3},
      {"start 0 searches from 1", "abcabc", "a", 0, false, 1},
      {"start 1", "abcabc", "a", 1, false, 1},
      {"negative start", "abcabc", "a", -5, false, 1},
      {"start past first hit", "abcabc", "a", 2, false, 4},
      {"position counts from whole text", "xxxxxxxxAB", "AB", 5, false, 9},
      {"start L+1", "abc", "a", 4, false, -1},
      {"start at last byte", "abc", "c", 3, false, 3},
      {"not found", "abc", "d", std::nullopt, false, -1},
      {"sought longer than text", "ab", "abc", std::nullopt, false, -1},
      {"empty sought in text", "abc", "", std::nullopt, false, 1},
      {"empty sought with start 3", "abc", "", 3, false, 1},
      {"empty sought past end", "abc", "", 4, false, -1},
      {"empty sought in empty text", "", "", std::nullopt, false, -1},
      {"empty text", "", "a", std::nullopt, false, -1},
      {"case differs", "Set-Cookie: a", "set-cookie: ", std::nullopt, false, -1},
      {"ignore case", "x\r\nSeT-cOOkie: a", "set-cookie: ", std::nullopt, true, 4},
      {"ignore case folds only letters", "a[b", "A{B", std::nullopt, true, -1},
      {"inside a two-byte char", kTwoChars, "\xD2\xB5", std::nullopt, false, -1},
      {"whole two-byte char", kTwoChars, "\xB5\xBD", std::nullopt, false, 3},
      // Counting restarts at the start position, so a start in the middle of
      // a character makes its second byte a candidate.
      {"start in the middle of a char", kTwoChars, "\xD2\xB5", 2, false, 2},
      {"lone lead byte at end still matches", "ab\xC0", "\xC0", std::nullopt, false, 3},
      {"lone lead byte at end ends search", "ab\xC0", "\xC0x", std::nullopt, false, -1},
      {"ascii after lead byte skipped", "\xC0" "a", "a", std::nullopt, false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindText(c.text, c.sought, c.start, c.ignoreCase), c.want);
  }
}

TEST(TextCuts, LeftRightMidReplace) {
  struct Case {
    const char* name;
    Text got, want;
  };
  const Text t = "hello";
  const Case cases[] = {
      {"left 2", TextLeft(t, 2), "he"},
      {"left over length", TextLeft(t, 99), "hello"},
      {"left 0", TextLeft(t, 0), ""},
      {"left negative", TextLeft(t, -3), ""},
      {"right 2", TextRight(t, 2), "lo"},
      {"right over length", TextRight(t, 99), "hello"},
      {"right negative", TextRight(t, -1), ""},
      {"mid", TextMid(t, 2, 3), "ell"},
      {"mid past end count", TextMid(t, 4, 99), "lo"},
      {"mid start 0 not raised", TextMid(t, 0, 3), ""},
      {"mid start past end", TextMid(t, 6, 1), ""},
      {"mid count 0", TextMid(t, 1, 0), ""},
      {"mid cuts a two-byte char", TextMid(kTwoChars, 2, 2), "\xD2\xB5"},
      {"replace delete 12 of short", ReplaceTextAt(t, 1, 12), ""},
      {"replace delete head", ReplaceTextAt("Set-Cookie: a=b", 1, 12), "a=b"},
      {"replace insert", ReplaceTextAt(t, 3, 2, Text("XY")), "heXYo"},
      {"replace start below 1", ReplaceTextAt(t, -4, 1, Text("_")), "_ello"},
      {"replace start past end appends", ReplaceTextAt(t, 40, 3, Text("!")), "hello!"},
      {"replace negative count inserts", ReplaceTextAt(t, 2, -1, Text("-")), "h-ello"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.got, c.want);
  }
}

TEST(SplitText, LineLists) {
  struct Case {
    const char* name;
    Text text, delimiter;
    std::optional<int> max;
    TextArray want;
  };
  const Case cases[] = {
      {"empty text", "", "\r\n", std::nullopt, {}},
      {"one line", "a.com", "\r\n", std::nullopt, {"a.com"}},
      {"two lines", "a\r\nb", "\r\n", std::nullopt, {"a", "b"}},
      {"empty line between", "a\r\n\r\nb", "\r\n", std::nullopt, {"a", "", "b"}},
      {"trailing break adds nothing", "a\r\n", "\r\n", std::nullopt, {"a"}},
      {"two trailing breaks", "a\r\n\r\n", "\r\n", std::nullopt, {"a", ""}},
      {"single break", "\r\n", "\r\n", std::nullopt, {""}},
      {"leading break", "\r\na", "\r\n", std::nullopt, {"", "a"}},
      {"lone CR and LF stay inside", "a\rb\nc", "\r\n", std::nullopt, {"a\rb\nc"}},
      {"spaces kept", " a \r\n b", "\r\n", std::nullopt, {" a ", " b"}},
      {"default delimiter", "x,y", ",", std::nullopt, {"x", "y"}},
      {"empty delimiter", "x,y", "", std::nullopt, {"x,y"}},
      {"maximum stops", "a,b,c", ",", 1, {"a"}},
      {"maximum 0", "a,b", ",", 0, {}},
      {"negative maximum", "a,b", ",", -2, {}},
      {"two-byte char hides delimiter byte", "\xB0,a,b", ",", std::nullopt, {"\xB0,a", "b"}},
      {"chinese lines", "\xD5\xD2\r\n\xB5\xBD", "\r\n", std::nullopt, {"\xD5\xD2", "\xB5\xBD"}},
      {"lone lead byte at end", "a,\xC0", ",", std::nullopt, {"a", "\xC0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SplitText(c.text, c.delimiter, c.max), c.want);
  }
  EXPECT_EQ(ElementCount(SplitText("a\r\n\r\nb", "\r\n")), 3);
}

TEST(TextTransforms, SpacesCaseAndCodes) {
  struct Case {
    const char* name;
    Text got, want;
  };
  const Case cases[] = {
      {"spaces removed, tab and breaks kept", RemoveAllSpaces(" a\tb \r\n c "), "a\tb\r\nc"},
      {"full-width space removed", RemoveAllSpaces("a\xA1\xA1" "b"), "ab"},
      {"only spaces", RemoveAllSpaces("  \xA1\xA1 "), ""},
      {"two-byte chars kept whole", RemoveAllSpaces("\xB0 \xA1 "), "\xB0 \xA1 "},
      {"lone lead byte at end dropped", RemoveAllSpaces("a\xC0"), "a"},
      {"upper ascii", ToUpper("get Post"), "GET POST"},
      {"upper keeps second byte in a-z", ToUpper("\xB0" "a" "b"), "\xB0" "aB"},
      {"lower ascii", ToLower("HeLLo.COM:80"), "hello.com:80"},
      {"lower keeps second byte in A-Z", ToLower("\xB0" "AB"), "\xB0" "Ab"},
      {"case stops at lone lead byte", ToUpper("a\xC0"), "A\xC0"},
      {"char from code", CharFromCode('A'), "A"},
      {"char from code 0", CharFromCode(0), ""},
      {"blank text", BlankText(3), "   "},
      {"blank text negative", BlankText(-1), ""},
      {"number", NumberToText(7), "7"},
      {"negative number", NumberToText(-120), "-120"},
      {"concat", ConcatText({"a", "", "bc"}), "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.got, c.want);
  }
}

TEST(TextToNumber, LeadingNumber) {
  struct Case {
    const char* name;
    Text text;
    double want;
  };
  const Case cases[] = {
      {"empty", "", 0},
      {"digits", "8080", 8080},
      {"digits then letters", "12ab", 12},
      {"letters", "ab12", 0},
      {"leading spaces and sign", "  -3.5", -3.5},
      {"full-width digits", "\xA3\xB8\xA3\xB0", 80},
      {"full-width space before digits", "\xA1\xA1" "42", 42},
      {"hex is not read", "0x1A", 0},
      {"infinity is not read", "inf", 0},
      {"exponent", "1e3x", 1000},
      {"bare exponent letter", "5e", 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.want);
  }
}

TEST(CompareText, OrderAndEquality) {
  EXPECT_EQ(CompareText("Zorvek", "Zorvek"), 0);
  EXPECT_EQ(CompareText("", Text()), 0);
  EXPECT_EQ(CompareText("Zorvek", "Zorvek_OK"), -1);
  EXPECT_EQ(CompareText("zorvek", "Zorvek"), 1);
  EXPECT_EQ(CompareText("\x7F", "\x80"), -1);  // unsigned bytes
}

TEST(Bytes, Operations) {
  const Bytes withZero("a\0b", 3);
  EXPECT_EQ(BytesLength(withZero), 3);
  EXPECT_EQ(BytesLeft(withZero, 2), Bytes("a\0", 2));
  EXPECT_EQ(BytesLeft(withZero, 9), withZero);
  EXPECT_EQ(BytesLeft(withZero, -1), Bytes());
  EXPECT_EQ(BytesRight(withZero, 2), Bytes("\0b", 2));
  EXPECT_EQ(BytesRight(Bytes(), 1), Bytes());
  EXPECT_EQ(BlankBytes(3), Bytes(3, '\0'));
  EXPECT_EQ(BlankBytes(0), Bytes());
  EXPECT_EQ(ConcatBytes({withZero, Bytes(), withZero}).size(), 6u);

  EXPECT_EQ(ReadInteger(Bytes("\xFF", 1)), 255);
  EXPECT_EQ(ReadInteger(Bytes()), 0);
  EXPECT_EQ(ReadInteger(Bytes("\x01\x02", 2)), 0x0201);
  EXPECT_EQ(ReadInteger(Bytes("\xFF\xFF\xFF\xFF\x07", 5)), -1);

  EXPECT_EQ(TruncateToInteger(2.9), 2);
  EXPECT_EQ(TruncateToInteger(-2.9), -2);
  EXPECT_EQ(TruncateToInteger(1e12), 2147483647);
  EXPECT_EQ(ElementCount(TextArray()), 0);
}

TEST(TextBetween, Markers) {
  struct Case {
    const char* name;
    Text text, start, end, want;
  };
  const Text traffic = "innerHTML = \"";
  const Case cases[] = {
      {"both markers", "x<b>42</b>y", "<b>", "</b>", "42"},
      {"adjacent markers", "<b></b>", "<b>", "</b>", ""},
      {"no end marker after start", "</b><b>42", "<b>", "</b>", ""},
      {"end markers before start passed over", "\"a\" innerHTML = \"1,234\"", traffic, "\"",
       "1,234"},
      {"first start marker counts", "[1][2]", "[", "]", "1"},
      {"markers never overlap", "aXa", "aX", "Xa", ""},
      // A missing start marker yields nothing, not page bytes.
      {"missing start marker", "0123456789ABCDEFGHI\"rest", traffic, "\"", ""},
      {"start marker in other case", "INNERHTML = \"5\"", traffic, "\"", ""},
      {"neither marker", "plain", "<b>", "</b>", ""},
      {"gbk markers", "\xD5\xD2\xB5\xBD" "1,230,000" "\xB8\xF6", "\xD5\xD2\xB5\xBD", "\xB8\xF6",
       "1,230,000"},
      {"empty text", "", "<b>", "</b>", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TextBetween(c.text, c.start, c.end), c.want);
  }
}

// The window thread and fetch workers use these operations at the same time.
TEST(TextConcurrency, TwoThreadsShareNothing) {
  auto work = [] {
    int found = 0;
    for (int i = 0; i < 20000; ++i) {
      Text t = ConcatText({"Set-Cookie: a=", NumberToText(i), "\r\n"});
      found += FindText(t, "set-cookie: ", 1, true) == 1;
      found += ElementCount(SplitText(t, "=")) == 2;
    }
    return found;
  };
  int a = 0, b = 0;
  std::thread other([&] { a = work(); });
  b = work();
  other.join();
  EXPECT_EQ(a, 40000);
  EXPECT_EQ(b, 40000);
}

}  // namespace
