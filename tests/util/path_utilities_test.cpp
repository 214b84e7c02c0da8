#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/win32/kernel/kernel.h"
#include "tests/kernel/child_process.h"
#include "util/PathUtilities.h"
#include "util/TextConversion.h"

namespace {

TEST(FileNameFromPath, Cases) {
  struct Case {
    const char16_t* path;
    int result;
    const char16_t* name;  // what the buffer holds afterwards
  };
  const Case cases[] = {
      {u"C:\\dir\\report", 1, u"report"},
      {u"dir/report", 1, u"report"},
      {u"/tmp/dumps/crash", 1, u"crash"},
      {u"a\\b/c", 1, u"b/c"},  // a backslash wins over a later slash
      {u"C:\\dir\\", 1, u""},
      {u"/tmp/", 1, u""},
      {u"report", 0, u"untouched"},
      {u"", 0, u"untouched"},
      {u"/\u5D29\u6E83", 1, u"\u5D29\u6E83"},
  };
  for (const auto& c : cases) {
    WCHAR buffer[MAX_PATH];
    std::char_traits<char16_t>::copy(buffer, u"untouched", 10);
    EXPECT_EQ(FileNameFromPath(c.path, buffer, MAX_PATH), c.result) << WideToUtf8(c.path);
    EXPECT_EQ(std::u16string(buffer), c.name) << WideToUtf8(c.path);
  }
  EXPECT_EQ(FileNameFromPath(nullptr, nullptr, 0), 0);
  EXPECT_EQ(FileNameFromPath(u"a/b", nullptr, 0), 1);  // nothing to write into
}

TEST(FileNameFromPath, NeverWritesPastTheBuffer) {
  WCHAR buffer[8];
  for (auto& u : buffer) u = u'#';
  EXPECT_EQ(FileNameFromPath(u"/tmp/1234567", buffer, 7), 1);  // 7 units and the terminator: too long
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[7], u'#');
  EXPECT_EQ(FileNameFromPath(u"/tmp/123456", buffer, 7), 1);  // fits exactly
  EXPECT_EQ(std::u16string(buffer), u"123456");
  EXPECT_EQ(buffer[7], u'#');
}

class DataFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("HOME", m_home.Path().c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
  }
  std::string Documents() const { return m_home.Path() + "/Documents"; }
  bp::test::TempFolder m_home;
};

TEST_F(DataFolder, MissingFolderIsCreated) {
  ::mkdir(Documents().c_str(), 0700);
  std::u16string folder = PersonalDataFolder();
  EXPECT_EQ(folder, OemToWide(Documents() + "/Vorpin/"));
  struct stat st {};
  ASSERT_EQ(::stat((Documents() + "/Vorpin").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST_F(DataFolder, PresentFolderIsKept) {
  ::mkdir(Documents().c_str(), 0700);
  ::mkdir((Documents() + "/Vorpin").c_str(), 0700);
  std::ofstream(Documents() + "/Vorpin/keep") << "x";
  EXPECT_EQ(PersonalDataFolder(), OemToWide(Documents() + "/Vorpin/"));
  struct stat st {};
  EXPECT_EQ(::stat((Documents() + "/Vorpin/keep").c_str(), &st), 0);
}

TEST_F(DataFolder, FileInItsPlaceGivesEmpty) {
  ::mkdir(Documents().c_str(), 0700);
  std::ofstream(Documents() + "/Vorpin") << "not a folder";
  EXPECT_EQ(PersonalDataFolder(), u"");
  struct stat st {};
  ASSERT_EQ(::stat((Documents() + "/Vorpin").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
}

TEST_F(DataFolder, NoDocumentsFolderGivesEmpty) {
  EXPECT_EQ(PersonalDataFolder(), u"");
  struct stat st {};
  EXPECT_NE(::stat(Documents().c_str(), &st), 0);  // parents are not made
}

TEST_F(DataFolder, XdgDocumentsFolderIsUsed) {
  std::string docs = m_home.Path() + "/\xE6\x96\x87\xE6\xA1\xA3";
  ::mkdir(docs.c_str(), 0700);
  ::mkdir((m_home.Path() + "/.config").c_str(), 0700);
  std::ofstream(m_home.Path() + "/.config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/\xE6\x96\x87\xE6\xA1\xA3\"\n";
  EXPECT_EQ(PersonalDataFolder(), OemToWide(docs + "/Vorpin/"));
}

}  // namespace
