// Before any SetCommandLine the command line is the process's own argv. The only test of
// its process, so no earlier test can have set the line.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/kernel/kernel.h"

namespace {

TEST(KernelCommandLineDefault, IsTheProcessArgv) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  ASSERT_NE(argv, nullptr);
  ASSERT_GE(argc, 1);
  EXPECT_NE(std::u16string(argv[0]).find(u"kernel_cmdline_default_test"), std::u16string::npos);
  // Every argument the process was given comes back whole (ctest passes a filter; a run by
  // hand may pass arguments with blanks or quotes).
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::vector<std::string> given;
  for (std::string arg; std::getline(in, arg, '\0');) given.push_back(arg);
  ASSERT_EQ(static_cast<size_t>(argc), given.size());
  for (int i = 1; i < argc; ++i) EXPECT_EQ(std::u16string(argv[i]), bp::kernel::DecodeUtf8(given[i]));
  LocalFree(argv);
  EXPECT_EQ(GetCommandLineW(), GetCommandLineW());  // one stable line
}

}  // namespace
