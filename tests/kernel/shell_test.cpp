#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/win32/kernel/kernel.h"
#include "tests/kernel/child_process.h"

namespace {

// HOME and XDG_CONFIG_HOME point into a temporary folder: the real home is never looked at.
class KernelShell : public ::testing::Test {
 protected:
  void SetUp() override {
    m_home = m_dir.Path() + "/home";
    ::mkdir(m_home.c_str(), 0700);
    ::setenv("HOME", m_home.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
  }
  void UserDirs(const std::string& content) {
    ::mkdir((m_home + "/.config").c_str(), 0700);
    std::ofstream(m_home + "/.config/user-dirs.dirs") << content;
  }
  std::u16string FolderPath() {
    PIDLIST_ABSOLUTE list = nullptr;
    HRESULT hr = SHGetFolderLocation(nullptr, CSIDL_PERSONAL, nullptr, 0, &list);
    if (FAILED(hr)) {
      EXPECT_EQ(list, nullptr);
      return u"<none>";
    }
    WCHAR path[MAX_PATH] = {};
    EXPECT_TRUE(SHGetPathFromIDListW(list, path));
    ILFree(list);
    return path;
  }
  bp::test::TempFolder m_dir;
  std::string m_home;
};

TEST_F(KernelShell, DocumentsFolderFollowsUserDirs) {
  struct Case {
    const char* file;  // null: no user-dirs.dirs
    std::string expected;
  };
  const Case cases[] = {
      {nullptr, "/Documents"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/\xE6\x96\x87\xE6\xA1\xA3\"\n", "/\xE6\x96\x87\xE6\xA1\xA3"},
      {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n  XDG_DOCUMENTS_DIR=\"$HOME/My Docs/\"\n", "/My Docs"},
      {"XDG_DOCUMENTS_DIR=\"relative\"\n", "/Documents"},
      {"XDG_DOCUMENTS_DIR=\"$HOMEX/a\"\n", "/Documents"},
  };
  for (const auto& c : cases) {
    if (c.file != nullptr) UserDirs(c.file);
    EXPECT_EQ(bp::kernel::DocumentsFolder(), m_home + c.expected) << (c.file ? c.file : "none");
  }
  UserDirs("XDG_DOCUMENTS_DIR=\"/srv/docs\"\n");
  EXPECT_EQ(bp::kernel::DocumentsFolder(), "/srv/docs");
  // XDG_CONFIG_HOME names where the file is.
  ::mkdir((m_dir.Path() + "/cfg").c_str(), 0700);
  std::ofstream(m_dir.Path() + "/cfg/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Elsewhere\"\n";
  ::setenv("XDG_CONFIG_HOME", (m_dir.Path() + "/cfg").c_str(), 1);
  EXPECT_EQ(bp::kernel::DocumentsFolder(), m_home + "/Elsewhere");
  ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(KernelShell, FolderLocationOnlyForAnExistingFolder) {
  EXPECT_EQ(FolderPath(), u"<none>");
  std::ofstream(m_home + "/Documents") << "not a folder";
  EXPECT_EQ(FolderPath(), u"<none>");
  std::remove((m_home + "/Documents").c_str());
  ::mkdir((m_home + "/Documents").c_str(), 0700);
  EXPECT_EQ(FolderPath(), bp::kernel::DecodeUtf8(m_home + "/Documents"));
  PIDLIST_ABSOLUTE list = reinterpret_cast<PIDLIST_ABSOLUTE>(1);
  EXPECT_EQ(SHGetFolderLocation(nullptr, 0x1A, nullptr, 0, &list), E_INVALIDARG);
  EXPECT_EQ(list, nullptr);
  WCHAR path[MAX_PATH];
  EXPECT_FALSE(SHGetPathFromIDListW(nullptr, path));
}

TEST_F(KernelShell, PathLongerThanMaxPathDoesNotFit) {
  std::string deep = m_home;
  while (deep.size() < 300) {
    deep += "/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa";
    ::mkdir(deep.c_str(), 0700);
  }
  UserDirs("XDG_DOCUMENTS_DIR=\"" + deep + "\"\n");
  PIDLIST_ABSOLUTE list = nullptr;
  ASSERT_EQ(SHGetFolderLocation(nullptr, CSIDL_PERSONAL, nullptr, 0, &list), S_OK);
  WCHAR path[MAX_PATH];
  EXPECT_FALSE(SHGetPathFromIDListW(list, path));
  CoTaskMemFree(list);
}

TEST(KernelCrt, GetenvSReportsSizeThenCopies) {
  ::setenv("BP_TEST_VAR", "value", 1);
  size_t size = 99;
  EXPECT_EQ(getenv_s(&size, nullptr, 0, "BP_TEST_VAR"), 0);
  EXPECT_EQ(size, 6u);
  char buffer[6];
  EXPECT_EQ(getenv_s(&size, buffer, sizeof buffer, "BP_TEST_VAR"), 0);
  EXPECT_STREQ(buffer, "value");
  char small[3] = {'x', 'x', 'x'};
  EXPECT_EQ(getenv_s(&size, small, sizeof small, "BP_TEST_VAR"), ERANGE);
  EXPECT_EQ(small[0], 0);
  ::setenv("BP_TEST_VAR", "", 1);
  EXPECT_EQ(getenv_s(&size, nullptr, 0, "BP_TEST_VAR"), 0);
  EXPECT_EQ(size, 1u);
  ::unsetenv("BP_TEST_VAR");
  EXPECT_EQ(getenv_s(&size, nullptr, 0, "BP_TEST_VAR"), 0);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(getenv_s(nullptr, nullptr, 0, "BP_TEST_VAR"), EINVAL);
  EXPECT_EQ(getenv_s(&size, nullptr, 0, nullptr), EINVAL);
}

}  // namespace
