#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/kernel/kernel.h"

namespace {

std::vector<std::u16string> Split(LPCWSTR line) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(line, &argc);
  std::vector<std::u16string> args;
  if (argv == nullptr) return args;
  for (int i = 0; i < argc; ++i) args.emplace_back(argv[i]);
  EXPECT_EQ(argv[argc], nullptr);
  EXPECT_EQ(LocalFree(argv), nullptr);
  return args;
}

std::vector<std::u16string> RoundTrip(std::vector<std::string> utf8) {
  std::vector<char*> argv;
  for (auto& a : utf8) argv.push_back(a.data());
  argv.push_back(nullptr);
  bp::kernel::SetCommandLine(static_cast<int>(utf8.size()), argv.data());
  return Split(GetCommandLineW());
}

TEST(KernelCommandLine, ArgumentsComeBackUnchanged) {
  const std::vector<std::vector<std::string>> cases = {
      {"/usr/bin/bugpost", "/tmp/crash"},
      {"/opt/my app/bugpost", "/tmp/dumps dir/crash 1"},
      {"bugpost", ""},
      {"bugpost", "a\"b", "\\\\server\\share\\", "tail\\", "x\\\"y", "\"\"", "\t"},
      {"bugpost", "/home/\xE7\x94\xA8\xE6\x88\xB7/\xE5\xB4\xA9\xE6\xBA\x83", "-v", "last"},
      {"bugpost", "C:\\dumps\\crash"},
  };
  for (const auto& args : cases) {
    std::vector<std::u16string> expected;
    for (const auto& a : args) expected.push_back(bp::kernel::DecodeUtf8(a));
    EXPECT_EQ(RoundTrip(args), expected) << args.back();
  }
}

TEST(KernelCommandLine, UndecodableBytesBecomeReplacementCharacters) {
  auto args = RoundTrip({"bugpost", "bad\xFF"});
  ASSERT_EQ(args.size(), 2u);
  EXPECT_EQ(args[1], u"bad\uFFFD");
}

TEST(KernelCommandLine, SplitsByThePlatformRules) {
  struct Case {
    LPCWSTR line;
    std::vector<std::u16string> args;
  };
  const Case cases[] = {
      {u"prog a b", {u"prog", u"a", u"b"}},
      {u"\"C:\\Program Files\\x.exe\" arg", {u"C:\\Program Files\\x.exe", u"arg"}},
      {u"prog \"a b\"  c\t\td", {u"prog", u"a b", u"c", u"d"}},
      {u"prog a\\\\b a\\\\\"b c\" a\\\"b", {u"prog", u"a\\\\b", u"a\\b c", u"a\"b"}},
      {u"prog \"\" x", {u"prog", u"", u"x"}},
      {u"prog \"a\"\"b\"", {u"prog", u"a\"b"}},
      {u"prog  ", {u"prog"}},
      {u"prog \"unterminated arg", {u"prog", u"unterminated arg"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Split(c.line), c.args) << std::string(c.line, c.line + std::u16string(c.line).size());
}

TEST(KernelCommandLine, EmptyLineGivesTheProgramPath) {
  auto args = Split(u"");
  ASSERT_EQ(args.size(), 1u);
  EXPECT_NE(args[0].find(u"kernel_cmdline_test"), std::u16string::npos);
  EXPECT_EQ(CommandLineToArgvW(u"x", nullptr), nullptr);
}

}  // namespace
