#include <gtest/gtest.h>

#include <string>

#include "util/TextConversion.h"

namespace {

using namespace std::string_literals;

TEST(TextConversion, OemAndWideRoundTrip) {
  const std::string paths[] = {"/tmp/crash", "/home/\xE7\x94\xA8\xE6\x88\xB7/\xE5\xB4\xA9\xE6\xBA\x83",
                               "C:\\dumps\\crash", "/tmp/\xF0\x9F\x98\x80 smile", "/tmp/a\"b\\c"};
  for (const auto& p : paths) EXPECT_EQ(WideToOem(OemToWide(p)), p) << p;
  EXPECT_EQ(OemToWide("\xE5\xB4\xA9"), u"\u5D29");
  EXPECT_EQ(WideToOem(u"\u5D29"), "\xE5\xB4\xA9");
}

TEST(TextConversion, OemEdgeCases) {
  EXPECT_EQ(OemToWide(""), u"");
  EXPECT_EQ(WideToOem(u""), "");
  EXPECT_EQ(OemToWide("ab\0cd"s), u"ab");
  EXPECT_EQ(WideToOem(u"ab\0cd"s), "ab");
  EXPECT_EQ(OemToWide("bad\xFF"), u"bad\uFFFD");
  EXPECT_EQ(WideToOem(u"a\xD800" u"b"s), "a?b");  // lone surrogate: the default character
  EXPECT_EQ(OemToUtf8("/tmp/\xE5\xB4\xA9\xF0\x9F\x98\x80"), "/tmp/\xE5\xB4\xA9\xF0\x9F\x98\x80");
}

TEST(TextConversion, WideToUtf8) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"", ""},
      {u"crash", "crash"},
      {u"\u00E9", "\xC3\xA9"},
      {u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
      {u"\u4E2D", "\xE4\xB8\xAD"},
      {u"\uFEFF", "\xEF\xBB\xBF"},
      {u"a\0b"s, "a\0b"s},  // a NUL unit is one 0x00 byte and the output goes on
      // A pair is one character: four bytes, so that the path names the real file.
      {u"\xD83D\xDE00"s, "\xF0\x9F\x98\x80"},
      // Lone surrogates are encoded unit by unit.
      {u"\xD83D"s, "\xED\xA0\xBD"},
      {u"\xDE00\xD83D"s, "\xED\xB8\x80\xED\xA0\xBD"},
  };
  for (const auto& [wide, utf8] : cases) EXPECT_EQ(WideToUtf8(wide), utf8);
}

TEST(TextConversion, Utf8ToWideDecodesValidInput) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"", u""},
      {"\xC3\xA9", u"\u00E9"},
      {"\xE4\xB8\xAD\xE6\x96\x87", u"\u4E2D\u6587"},
      {"\xEF\xBB\xBF" "A", u"\uFEFFA"},  // a byte-order mark is a character, not skipped
      {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"s},
      {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"s},
      {"a\0b"s, u"a\0b"s},
  };
  for (const auto& [utf8, wide] : cases) {
    bool ok = false;
    EXPECT_EQ(Utf8ToWide(utf8, &ok), wide);
    EXPECT_TRUE(ok);
  }
}

TEST(TextConversion, Utf8ToWideRefusesMalformedInput) {
  const std::string cases[] = {
      "\x80",             // starts with a continuation byte
      "ab\xBF",           //
      "\xE4\xB8",         // cut short at the end
      "\xE4" "A\xAD",     // lead without its continuation bytes
      "\xF4\x90\x80\x80", // above U+10FFFF
      "\xF8\x88\x80\x80\x80",
      "\xC0\xAF",         // overlong '/'
      "\xE0\x80\x80",     // overlong NUL
      "\xED\xA0\xBD",     // encoded surrogate
      "\xFF",
  };
  for (const auto& bad : cases) {
    bool ok = true;
    EXPECT_EQ(Utf8ToWide(bad, &ok), u"");
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(Utf8ToAnsi(bad, &ok), "");
    EXPECT_FALSE(ok);
  }
}

TEST(TextConversion, Utf8ToAnsi) {
  bool ok = false;
  // Chinese text needs three bytes a unit, more than twice its length in units.
  std::string chinese = "{\"msg\":\"\xE5\x8F\x91\xE9\x80\x81\xE5\xA4\xB1\xE8\xB4\xA5\"}";
  EXPECT_EQ(Utf8ToAnsi(chinese, &ok), chinese);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD\xE4\xB8\xAD\xE4\xB8\xAD"), "\xE4\xB8\xAD\xE4\xB8\xAD\xE4\xB8\xAD");
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToAnsi("{\"a\":1}\0trailing"s), "{\"a\":1}");  // stops at the first NUL
  EXPECT_EQ(Utf8ToAnsi("", &ok), "");
  EXPECT_TRUE(ok);
}

}  // namespace
