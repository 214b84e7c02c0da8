#include <gtest/gtest.h>

#include <string>

#include "platform/win32/kernel/kernel.h"

namespace {

std::u16string Decode(const std::string& bytes) {
  int n = MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string out(static_cast<size_t>(n), u'\0');
  if (n > 0) {
    EXPECT_EQ(MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n), n);
  }
  return out;
}

std::string Encode(UINT cp, const std::u16string& text, BOOL* usedDefault = nullptr) {
  int n = WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  if (n > 0) {
    EXPECT_EQ(WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, usedDefault), n);
  }
  return out;
}

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::u16string units;
};

TEST(KernelCodePage, DecodesUtf8AndReplacesWhatIsMalformed) {
  const DecodeCase cases[] = {
      {"ascii", "crash", u"crash"},
      {"two bytes", "\xC3\xA9", u"\u00E9"},
      {"three bytes", "\xE4\xB8\xAD", u"\u4E2D"},
      {"four bytes make a pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
      {"byte order mark kept", "\xEF\xBB\xBF" "A", u"\uFEFFA"},
      {"lone continuation", "a\x80" "b", u"a\uFFFDb"},
      {"cut short at the end", "a\xE4\xB8", u"a\uFFFD"},
      {"lead without continuation", "\xE4" "A", u"\uFFFDA"},
      {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\xBD", u"\uFFFD\uFFFD\uFFFD"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"0xFF", "\xFF", u"\uFFFD"},
      {"NUL in the middle goes on", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(c.bytes), c.units) << c.name;
}

TEST(KernelCodePage, EncodesPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(Encode(CP_ACP, u"\u4E2D\u6587"), "\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(Encode(CP_OEMCP, u"\U0001F600"), "\xF0\x9F\x98\x80");
  BOOL used = FALSE;
  EXPECT_EQ(Encode(CP_ACP, std::u16string(u"a\xD83D" u"b"), &used), "a?b");
  EXPECT_TRUE(used);
  EXPECT_EQ(Encode(CP_ACP, std::u16string(1, char16_t(0xDE00)), &used), "?");
  EXPECT_EQ(Encode(CP_ACP, u"plain", &used), "plain");
  EXPECT_FALSE(used);
  char out[4];
  const WCHAR lone[] = {0xD800, 0};
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, lone, 1, out, 4, "#", nullptr), 1);
  EXPECT_EQ(out[0], '#');
}

TEST(KernelCodePage, TerminatedInputCountsTheTerminator) {
  EXPECT_EQ(MultiByteToWideChar(CP_OEMCP, 0, "ab", -1, nullptr, 0), 3);
  EXPECT_EQ(MultiByteToWideChar(CP_OEMCP, 0, "", -1, nullptr, 0), 1);
  WCHAR wide[8] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_OEMCP, 0, "a\0b", -1, wide, 8), 2);  // stops at the first NUL
  EXPECT_EQ(std::u16string(wide), u"a");
  EXPECT_EQ(WideCharToMultiByte(CP_OEMCP, 0, u"\u00E9", -1, nullptr, 0, nullptr, nullptr), 3);
}

TEST(KernelCodePage, FailuresReturnZero) {
  WCHAR wide[2];
  char narrow[2];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_OEMCP, 0, "abc", 3, wide, 2), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u4E2D", 1, narrow, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(MultiByteToWideChar(CP_OEMCP, 0, "abc", 0, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(WideCharToMultiByte(CP_OEMCP, 0, u"abc", 0, nullptr, 0, nullptr, nullptr), 0);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_OEMCP, 0, nullptr, 3, nullptr, 0), 0);
}

}  // namespace
