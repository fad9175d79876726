#include <windows.h>

#include <gtest/gtest.h>

#include "text/PageText.h"

namespace {

// Every Chinese marker relies on it; a wrong Wine set-up must fail loudly.
TEST(CodePage, AnsiCodePageIsGbk) { EXPECT_EQ(GetACP(), 936u); }

TEST(DecodePage, BodiesToGbkText) {
  struct Case {
    const char* name;
    Bytes body;
    Text want;
  };
  const Case cases[] = {
      {"empty body", Bytes(), ""},
      {"ascii", "<html>ok</html>", "<html>ok</html>"},
      {"ascii with final line break", "line\r\n", "line\r\n"},
      {"zero byte inside", Bytes("before\0after", 12), "before"},
      {"ends in 0x7F", "abc\x7F", "abc\x7F"},
      // Ends in a multi-byte character: no terminator is appended, and still
      // nothing past the body may be read.
      {"ends in chinese", "\xE6\x89\xBE\xE5\x88\xB0", "\xD5\xD2\xB5\xBD"},
      {"ends in U+00E9", "caf\xC3\xA9", "caf\xA8\xA6"},
      {"marker text", "\xE6\x89\xBE\xE5\x88\xB0\xE7\x9B\xB8\xE5\x85\xB3\xE7\xBB\x93\xE6\x9E\x9C"
                      "\xE7\xBA\xA6" "12" "\xE4\xB8\xAA",
       "\xD5\xD2\xB5\xBD\xCF\xE0\xB9\xD8\xBD\xE1\xB9\xFB\xD4\xBC" "12" "\xB8\xF6"},
      {"no GBK form (Thai)", "a\xE0\xB8\x81z", "a?z"},
      {"invalid UTF-8", "a\xFF" "b", "a?b"},
      {"truncated sequence at end", "ab\xE6\x89", "ab?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodePage(c.body), c.want);
  }
}

// A character outside the BMP is two UTF-16 units; how many question marks
// it becomes is the platform's affair, but no byte of it may survive.
TEST(DecodePage, CharacterOutsideTheBasicPlane) {
  const Text got = DecodePage("a\xF0\x9F\x98\x80z");
  ASSERT_GE(got.size(), 3u);
  EXPECT_EQ(got.front(), 'a');
  EXPECT_EQ(got.back(), 'z');
  EXPECT_EQ(got.find_first_not_of('?', 1), got.size() - 1);
}

TEST(WideToText, Units) {
  EXPECT_EQ(WideToText(Bytes()), "");
  EXPECT_EQ(WideToText(Bytes("A\0B\0", 4)), "AB");
  EXPECT_EQ(WideToText(Bytes("A\0\0\0B\0", 6)), "A");
  EXPECT_EQ(WideToText(Bytes("\x7E\x62", 2)), "\xD5\xD2");  // U+627E
}

}  // namespace
