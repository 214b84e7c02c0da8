#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/ConfigStore.h"
#include "config/ServiceHosts.h"
#include "tests/kernel/child_process.h"
#include "util/TextConversion.h"

namespace {

const char* const kHostVariables[] = {"A_VORPIN_CN_HOST", "MOBI_VORPINAPI_NET_HOST", "MAPI_VORPINAPI_NET_HOST"};

// Each test points HOME (and so the documents folder) into a fresh folder and clears the
// host variables; everything that creates a singleton runs in a child process.
class Config : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("HOME", m_home.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (m_home.Path() + "/.config").c_str(), 1);
    for (const char* v : kHostVariables) ::unsetenv(v);
  }
  void TearDown() override {
    for (const char* v : kHostVariables) ::unsetenv(v);
  }
  std::string Documents() const { return m_home.Path() + "/Documents"; }
  static bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
  bool AnyConfigIni() const {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_home.Path()))
      if (entry.path().filename() == "config.ini") return true;
    return false;
  }
  bp::test::TempFolder m_home;
};

TEST_F(Config, GetEnvStringCases) {
  std::string out = "stale";
  EXPECT_FALSE(ConfigStore::GetEnvString("BP_TEST_SETTING", out, "fallback"));
  EXPECT_EQ(out, "fallback");
  ::setenv("BP_TEST_SETTING", "127.0.0.1:8080", 1);
  EXPECT_TRUE(ConfigStore::GetEnvString("BP_TEST_SETTING", out, "fallback"));
  EXPECT_EQ(out, "127.0.0.1:8080");
  ::setenv("BP_TEST_SETTING", "", 1);
  EXPECT_TRUE(ConfigStore::GetEnvString("BP_TEST_SETTING", out, "fallback"));
  EXPECT_EQ(out, "");
  ::unsetenv("BP_TEST_SETTING");
}

TEST_F(Config, StoreCreatesMissingDataFolderOnce) {
  ::mkdir(Documents().c_str(), 0700);
  auto child = bp::test::RunInChild([&] {
    ConfigStore& store = ConfigStore::Instance();
    std::printf("%s|%s|%d|", store.DataFolder().c_str(), store.FileName().c_str(), IsFolder(Documents() + "/Vorpin"));
    // A second call finds the store made and touches no folder.
    std::filesystem::remove(Documents() + "/Vorpin");
    std::printf("%d|%d", &ConfigStore::Instance() == &store, IsFolder(Documents() + "/Vorpin"));
    return 0;
  });
  EXPECT_EQ(child.exitCode, 0);
  EXPECT_EQ(child.output, Documents() + "/Vorpin/|config.ini|1|1|0");
  EXPECT_FALSE(AnyConfigIni());
}

TEST_F(Config, StoreKeepsPresentFolder) {
  ::mkdir(Documents().c_str(), 0700);
  ::mkdir((Documents() + "/Vorpin").c_str(), 0700);
  auto child = bp::test::RunInChild([] {
    std::printf("%s", ConfigStore::Instance().DataFolder().c_str());
    return 0;
  });
  EXPECT_EQ(child.output, Documents() + "/Vorpin/");
  EXPECT_FALSE(AnyConfigIni());
}

TEST_F(Config, FileInPlaceOfTheFolderLeavesItEmpty) {
  ::mkdir(Documents().c_str(), 0700);
  std::ofstream(Documents() + "/Vorpin") << "x";
  auto child = bp::test::RunInChild([] {
    std::printf("[%s]", ConfigStore::Instance().DataFolder().c_str());
    return 0;
  });
  EXPECT_EQ(child.output, "[]");
  EXPECT_FALSE(IsFolder(Documents() + "/Vorpin"));
}

TEST_F(Config, DefaultHosts) {
  auto child = bp::test::RunInChild([] {
    ServiceHosts& hosts = ServiceHosts::Instance();
    std::printf("%s\n%s\n%s\n%d", WideToUtf8(hosts.MobileApiHost()).c_str(), WideToUtf8(hosts.GetTimeUrl()).c_str(),
                WideToUtf8(hosts.UploadBugFileUrl()).c_str(), &ServiceHosts::Instance() == &hosts);
    return 0;
  });
  const std::string host = BUGPOST_MOBILE_API_HOST;
  EXPECT_EQ(child.output, host + "\nhttp://" + host + "/getTime.php\nhttp://" + host +
                              "/resty/v1.0.0/driver/ostrel/uploadBugFile\n1");
  EXPECT_EQ(host, "mobi.vorpinapi.net");  // the shipped default, unless the build changed it
}

TEST_F(Config, HostsCreateTheStoreAndItsFolder) {
  ::mkdir(Documents().c_str(), 0700);
  auto child = bp::test::RunInChild([] {
    ServiceHosts::Instance();
    return 0;
  });
  EXPECT_EQ(child.exitCode, 0);
  EXPECT_TRUE(IsFolder(Documents() + "/Vorpin"));
}

TEST_F(Config, EnvironmentOverrides) {
  struct Case {
    const char* variable;
    const char* value;
    std::string timeUrl;
  };
  const std::string host = BUGPOST_MOBILE_API_HOST;
  const Case cases[] = {
      {"MOBI_VORPINAPI_NET_HOST", "127.0.0.1:18080", "http://127.0.0.1:18080/getTime.php"},
      {"MOBI_VORPINAPI_NET_HOST", "", "http:///getTime.php"},  // present but empty: no default
      {"MOBI_VORPINAPI_NET_HOST", "\xE4\xBE\x8B.test", "http://\xE4\xBE\x8B.test/getTime.php"},
      {"A_VORPIN_CN_HOST", "127.0.0.1:1", "http://" + host + "/getTime.php"},
      {"MAPI_VORPINAPI_NET_HOST", "127.0.0.1:2", "http://" + host + "/getTime.php"},
  };
  for (const auto& c : cases) {
    ::setenv(c.variable, c.value, 1);
    auto child = bp::test::RunInChild([] {
      ServiceHosts& hosts = ServiceHosts::Instance();
      std::printf("%s %s", WideToUtf8(hosts.GetTimeUrl()).c_str(), WideToUtf8(hosts.UploadBugFileUrl()).c_str());
      return 0;
    });
    std::string upload = c.timeUrl.substr(0, c.timeUrl.size() - 12) + "/resty/v1.0.0/driver/ostrel/uploadBugFile";
    EXPECT_EQ(child.output, c.timeUrl + " " + upload) << c.variable << "=" << c.value;
    ::unsetenv(c.variable);
  }
}

TEST_F(Config, EnvironmentIsReadOnlyOnce) {
  ::setenv("MOBI_VORPINAPI_NET_HOST", "127.0.0.1:1111", 1);
  auto child = bp::test::RunInChild([] {
    std::string before = WideToUtf8(ServiceHosts::Instance().GetTimeUrl());
    ::setenv("MOBI_VORPINAPI_NET_HOST", "127.0.0.1:2222", 1);
    std::string after = WideToUtf8(ServiceHosts::Instance().GetTimeUrl());
    std::printf("%s %s", before.c_str(), after.c_str());
    return 0;
  });
  EXPECT_EQ(child.output, "http://127.0.0.1:1111/getTime.php http://127.0.0.1:1111/getTime.php");
}

}  // namespace
