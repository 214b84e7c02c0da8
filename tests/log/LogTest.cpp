#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "log/Log.h"

namespace fs = std::filesystem;

namespace {

fs::path ArtifactDir(const std::string& name) {
  const char* root = std::getenv("BUGPOST_ARTIFACTS");
  fs::path dir = fs::absolute(fs::path(root && *root ? root : ".") / "log-files" / name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

std::vector<std::string> ReadLines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Restores the three variables Log::Save reads.
class LogEnv : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"VORPIN_LOG_FILE", "XDG_STATE_HOME", "HOME"}) {
      const char* v = std::getenv(name);
      saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }
  }
  void TearDown() override {
    for (auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Length of the stamp and its TAB when `line` begins with one (2026-12-11T13:18:10.123Z\t), else 0.
std::size_t StampLength(const std::string& line) {
  const std::string shape = "dddd-dd-ddTdd:dd:dd.dddZ\t";
  if (line.size() < shape.size()) return 0;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    bool ok = shape[i] == 'd' ? (line[i] >= '0' && line[i] <= '9') : line[i] == shape[i];
    if (!ok) return 0;
  }
  return shape.size();
}

}  // namespace

TEST_F(LogEnv, LineIsStampTabUtf8TextNewlineInCreatedFolders) {
  fs::path file = ArtifactDir("explicit") / "a" / "b" / "bugpost.log";
  setenv("VORPIN_LOG_FILE", file.c_str(), 1);
  Log::Save(u"ERROR[x.cpp at:f L:1 TH:2]\t\"程序崩溃啦 \U0001F600\"", false);
  Log::Save(u"", true);
  std::ifstream in(file, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  std::string text = all.str();
  ASSERT_EQ(text.back(), '\n');
  std::vector<std::string> lines = ReadLines(file);
  ASSERT_EQ(lines.size(), 2u);
  std::size_t stamp = StampLength(lines[0]);
  ASSERT_NE(stamp, 0u) << lines[0];
  EXPECT_EQ(lines[0].substr(stamp), "ERROR[x.cpp at:f L:1 TH:2]\t\"\xE7\xA8\x8B\xE5\xBA\x8F\xE5\xB4\xA9\xE6\xBA\x83\xE5\x95\xA6 \xF0\x9F\x98\x80\"");
  EXPECT_NE(StampLength(lines[1]), 0u);
  EXPECT_EQ(lines[1].size(), StampLength(lines[1]));
}

TEST_F(LogEnv, LoneSurrogateBecomesReplacementCharacter) {
  fs::path file = ArtifactDir("surrogate") / "bugpost.log";
  setenv("VORPIN_LOG_FILE", file.c_str(), 1);
  const char16_t text[] = {u'a', 0xD800, u'b', 0xDC00, 0};
  Log::Save(text, false);
  std::vector<std::string> lines = ReadLines(file);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(lines[0].find('\t') + 1), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

TEST_F(LogEnv, FallsBackToXdgStateHomeThenHome) {
  fs::path dir = ArtifactDir("fallback");
  unsetenv("VORPIN_LOG_FILE");
  setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
  Log::Save(u"one", false);
  EXPECT_EQ(ReadLines(dir / "state" / "Vorpin" / "bugpost.log").size(), 1u);

  unsetenv("XDG_STATE_HOME");
  setenv("HOME", (dir / "home").c_str(), 1);
  Log::Save(u"two", false);
  std::vector<std::string> lines = ReadLines(dir / "home" / ".local" / "state" / "Vorpin" / "bugpost.log");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("\ttwo"), std::string::npos);
}

TEST_F(LogEnv, UnwritableTargetsAndNullTextAreIgnoredQuietly) {
  fs::path dir = ArtifactDir("unwritable");
  std::ofstream(dir / "file") << "x";
  // A path below a regular file can never be created.
  setenv("VORPIN_LOG_FILE", (dir / "file" / "sub" / "bugpost.log").c_str(), 1);
  Log::Save(u"lost", false);
  Log::Save(nullptr, false);
  unsetenv("VORPIN_LOG_FILE");
  unsetenv("XDG_STATE_HOME");
  unsetenv("HOME");
  Log::Save(u"nowhere to go", false);
  EXPECT_FALSE(fs::exists(dir / "file" / "sub"));
}

TEST_F(LogEnv, ConcurrentWritersNeverInterleaveLines) {
  fs::path file = ArtifactDir("concurrent") / "bugpost.log";
  setenv("VORPIN_LOG_FILE", file.c_str(), 1);
  constexpr int kThreads = 4, kLines = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      std::u16string line(300, static_cast<char16_t>(u'A' + t));
      for (int i = 0; i < kLines; ++i) Log::Save(line.c_str(), false);
    });
  }
  for (auto& th : threads) th.join();
  std::vector<std::string> lines = ReadLines(file);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
  for (const std::string& line : lines) {
    std::string body = line.substr(line.find('\t') + 1);
    ASSERT_EQ(body.size(), 300u);
    EXPECT_EQ(body.find_first_not_of(body[0]), std::string::npos);
  }
}
