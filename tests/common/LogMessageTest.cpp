#include <gtest/gtest.h>

#include <thread>

#include "Common/LogMessage.h"
#include "platform/win32/kernel/kernel.h"
#include "tests/common/LogCapture.h"

namespace {

std::string ThreadId() { return std::to_string(GetCurrentThreadId()); }

}  // namespace

TEST(LogMessage, FileNameIsThePartAfterTheLaterSeparator) {
  struct Case {
    std::u16string path, name;
  } cases[] = {
      {u"..\\Common\\NetworkUtilities.cpp", u"NetworkUtilities.cpp"},
      {u"a/b\\c.cpp", u"c.cpp"},
      {u"a\\b/c.cpp", u"c.cpp"},
      {u"dir/", u""},
      {u"dir\\", u""},
      {u"plain.cpp", u"plain.cpp"},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(LogFileName(c.path), c.name);
}

TEST(LogMessage, WritesOneLineByteForByte) {
  testlog::LogCapture log("logmessage_exact");
  LogMessage(1234, false, u"..\\Common\\NetworkUtilities.cpp", u"NetworkUtilities::HTTPGet", u"ERROR").stream
      << u"request " << u"http://h/获取" << u" failed: " << "HTTP response code said error" << -7;
  LogMessage(0, false, u"x.cpp", u"F", u"ERROR").stream << u"say \"hi\"\tthen\nmore";
  LogMessage(-5, true, u"dir/", u"G", u"WARN");
  std::vector<std::string> lines = log.Lines();
  std::string th = ThreadId();
  ASSERT_EQ(lines.size(), 4u);  // the message with a line break spans two lines of the file
  EXPECT_EQ(lines[0], "ERROR[NetworkUtilities.cpp at:NetworkUtilities::HTTPGet L:1234 TH:" + th +
                          "]\t\"request http://h/\xE8\x8E\xB7\xE5\x8F\x96 failed: HTTP response code said error-7\"");
  EXPECT_EQ(lines[1], "ERROR[x.cpp at:F L:0 TH:" + th + "]\t\"say \"hi\"\tthen");
  EXPECT_EQ(lines[2], "more\"");
  EXPECT_EQ(lines[3], "WARN[ at:G L:-5 TH:" + th + "]\t\"\"");
}

TEST(LogMessage, ThreadIdIsTheConstructingThreads) {
  testlog::LogCapture log("logmessage_thread");
  std::string other;
  std::thread([&] {
    other = ThreadId();
    LogMessage(1, false, u"f", u"g", u"ERROR").stream << u"m";
  }).join();
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_NE(other, ThreadId());
  EXPECT_EQ(log.Lines()[0], "ERROR[f at:g L:1 TH:" + other + "]\t\"m\"");
}
