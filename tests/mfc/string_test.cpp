// CString: construction, comparison, slicing and Format.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/mfc/String.h"

namespace {

std::u16string S(const CString& s) { return std::u16string(s.GetString(), static_cast<size_t>(s.GetLength())); }

TEST(CString, ConstructionAndAssignment) {
  EXPECT_TRUE(CString().IsEmpty());
  EXPECT_TRUE(CString(static_cast<LPCTSTR>(nullptr)).IsEmpty());
  // A resource id in pointer form is not dereferenced.
  EXPECT_TRUE(CString(reinterpret_cast<LPCTSTR>(static_cast<uintptr_t>(102))).IsEmpty());
  EXPECT_EQ(S(CString(u"发送")), u"发送");
  EXPECT_EQ(CString(u"abcdef", 3).GetLength(), 3);
  EXPECT_EQ(S(CString(u'x', 3)), u"xxx");

  CString s = u"重试";
  EXPECT_EQ(s.GetLength(), 2);
  EXPECT_FALSE(s.IsEmpty());
  s = s.GetString() + 1;  // assigning from its own buffer
  EXPECT_EQ(S(s), u"试");
  s += u'!';
  s += CString(u"?");
  EXPECT_EQ(S(s), u"试!?");
  EXPECT_EQ(std::u16string(static_cast<LPCTSTR>(s)), u"试!?");
}

TEST(CString, ComparisonAndIndexing) {
  const CString a(u"程序崩溃啦，囧。。");
  EXPECT_TRUE(a == u"程序崩溃啦，囧。。");
  EXPECT_TRUE(u"程序崩溃啦，囧。。" == a);
  EXPECT_TRUE(a != CString(u"程序"));
  EXPECT_TRUE(CString(u"a") < CString(u"b"));
  EXPECT_EQ(a[0], u'程');
  EXPECT_EQ(a.GetAt(8), u'。');
  EXPECT_EQ(a[9], 0);  // past the end reads 0
  EXPECT_EQ(a[-1], 0);
  // Embedded NULs count in equality.
  EXPECT_FALSE(CString(u"a\0b", 3) == CString(u"a"));
}

TEST(CString, Slicing) {
  CString s(u"hello world");
  EXPECT_EQ(S(s.Left(5)), u"hello");
  EXPECT_EQ(S(s.Left(99)), u"hello world");
  EXPECT_EQ(S(s.Left(-3)), u"");
  EXPECT_EQ(S(s.Right(5)), u"world");
  EXPECT_EQ(S(s.Mid(6)), u"world");
  EXPECT_EQ(S(s.Mid(6, 2)), u"wo");
  EXPECT_EQ(S(s.Mid(20, 2)), u"");
  EXPECT_EQ(s.Find(u'o'), 4);
  EXPECT_EQ(s.Find(u'o', 5), 7);
  EXPECT_EQ(s.Find(u"wor"), 6);
  EXPECT_EQ(s.Find(u'z'), -1);
  EXPECT_EQ(s.Find(u'o', 50), -1);
  EXPECT_EQ(s.Delete(5, 100), 5);
  EXPECT_EQ(S(s), u"hello");
  s.SetAt(0, u'H');
  s.SetAt(10, u'X');  // ignored
  EXPECT_EQ(S(s), u"Hello");
  EXPECT_EQ(S(CString(u"ab") + u"cd" + u'e'), u"abcde");
  EXPECT_EQ(S(u'<' + CString(u"x")), u"<x");
}

TEST(CString, Buffer) {
  CString s;
  LPTSTR p = s.GetBuffer(10);
  p[0] = u'o';
  p[1] = u'k';
  p[2] = 0;
  s.ReleaseBuffer();
  EXPECT_EQ(S(s), u"ok");
  s.GetBuffer(4);
  s.ReleaseBuffer(1);
  EXPECT_EQ(S(s), u"o");
}

TEST(CString, Format) {
  auto f = [](LPCTSTR fmt, const auto&... args) {
    CString s;
    s.Format(fmt, args...);
    return S(s);
  };
  const CString wide(u"程序");
  const std::u16string table[][2] = {
      {f(u"%d", 42), u"42"},
      {f(u"%d%%", 50), u"50%"},
      {f(u"%5d|%-5d|%05d", 7, 7, -7), u"    7|7    |-0007"},
      {f(u"%+d %i", 3, -3), u"+3 -3"},
      {f(u"%u", -1), u"4294967295"},
      {f(u"%u", -1LL), u"18446744073709551615"},
      {f(u"%x %X %o", 255, 255u, 8), u"ff FF 10"},
      {f(u"%hd", 70000), u"4464"},
      {f(u"%I64d %lld", LLONG_MIN, 12345678901LL), u"-9223372036854775808 12345678901"},
      {f(u"%d", INT_MIN), u"-2147483648"},
      {f(u"%s", u"发送完成！"), u"发送完成！"},
      {f(u"%s and %ls", wide, std::u16string(u"x")), u"程序 and x"},
      {f(u"[%4s][%-4s][%.1s]", u"ab", u"ab", wide), u"[  ab][ab  ][程]"},
      {f(u"%S|%hs", "caf\xc3\xa9", std::string("\xe5\x9b\xa7")), u"café|囧"},
      {f(u"%S", "bad\xff"), u"bad\uFFFD"},
      {f(u"%c%c", u'囧', 'A'), u"囧A"},
      {f(u"%.2f %g", 3.14159, 0.5), u"3.14 0.5"},
      {f(u"%*d|%.*s", 4, 1, 2, u"abc"), u"   1|ab"},
      {f(u"%s", static_cast<LPCTSTR>(nullptr)), u"(null)"},
      // Mismatches and missing arguments never read garbage.
      {f(u"%d %s"), u" "},
      {f(u"%s", 12), u"12"},
      {f(u"%d", 2.9), u"2"},
      {f(u"100%"), u"100%"},
      {f(u"%q"), u"%q"},
      {f(u"%n|", 5), u"|"},
  };
  for (const auto& row : table) EXPECT_EQ(row[0], row[1]);

  CString s(u"a");
  s.AppendFormat(u"-%d", 2);
  EXPECT_EQ(S(s), u"a-2");
  s.Format(u"%s%s", s, s);  // arguments may be the string itself
  EXPECT_EQ(S(s), u"a-2a-2");
}

}  // namespace
