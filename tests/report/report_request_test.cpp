#include <gtest/gtest.h>

#include <string>

#include "report/ReportRequest.h"
#include "report/Signature.h"

namespace {

using namespace std::string_literals;

TEST(ReportName, Cases) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\dumps\\crash", "crash"},
      {"/tmp/dumps/crash", "crash"},
      {"/tmp/dumps/\xE5\xB4\xA9\xE6\xBA\x83", "\xE5\xB4\xA9\xE6\xBA\x83"},
      {"/tmp/\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"crash", ""},       // no separator
      {"/tmp/dumps/", ""}, // ends in one
      {"C:\\dumps\\", ""},
      {"", ""},
      {"/tmp/a\\b", "b"},  // the backslash wins
      {"/tmp/" + std::string(259, 'n'), std::string(259, 'n')},
      {"/tmp/" + std::string(260, 'n'), ""},  // longer than the buffer: no cut name
  };
  for (const auto& [base, name] : cases) EXPECT_EQ(MakeReportName(base), name) << base;
}

TEST(ParamsBlock, IsTheFixedTemplateAroundTheName) {
  EXPECT_EQ(MakeParamsBlock("crash"), "{\"file_1\":\"crash.dmp\", \"file_2\":\"crash.txt\"}");
  EXPECT_EQ(MakeParamsBlock("crash").size(), 44u);
  EXPECT_EQ(MakeParamsBlock("0123456789").size(), 54u);
  EXPECT_EQ(MakeParamsBlock("").size(), 34u);
  std::string chinese = "\xE5\xB4\xA9\xE6\xBA\x83";
  EXPECT_EQ(MakeParamsBlock(chinese), "{\"file_1\":\"" + chinese + ".dmp\", \"file_2\":\"" + chinese + ".txt\"}");
  EXPECT_EQ(MakeParamsBlock(chinese).size(), 34u + 2 * chinese.size());
}

TEST(ParamsBlock, EscapesWhatWouldBreakTheJson) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\"b", "a\\\"b"},
      {"a\\b", "a\\\\b"},
      {"tab\there", "tab\\there"},
      {"nl\n", "nl\\n"},
      {"\x01\x1f", "\\u0001\\u001f"},
      {"\0"s, "\\u0000"},
  };
  for (const auto& [name, escaped] : cases)
    EXPECT_EQ(MakeParamsBlock(name), "{\"file_1\":\"" + escaped + ".dmp\", \"file_2\":\"" + escaped + ".txt\"}");
}

TEST(Signature, MatchesIndependentDigests) {
  // P='{"file_1":"crash.dmp", "file_2":"crash.txt"}'; I=$(printf '%s' "$P" | md5sum | cut -c1-32)
  // printf '%s' "v1.0.0/driver/ostrel/uploadBugFile|$I|5f0c7be1d94a3e286c1b0a7d4e9f3c52|$T" | md5sum
  // gives the outer digest; the signature is $T and its last 18 characters.
  std::string params = MakeParamsBlock("crash");
  EXPECT_EQ(MakeSignature(params, "1700000000"), "17000000002a37936be33c56d66b");
  EXPECT_EQ(MakeSignature(params, ""), "3838f37a3a409659a0");
  // T with a trailing line break (printf '...|1700000000\n'): kept in the signing text and in front.
  EXPECT_EQ(MakeSignature(params, "1700000000\n"), "1700000000\n82676d99eed3ea2bc4");
  // The name enters as UTF-8: same commands with P holding 崩溃 and T=42.
  EXPECT_EQ(MakeSignature(MakeParamsBlock("\xE5\xB4\xA9\xE6\xBA\x83"), "42"), "4268cdfbef93fa2604a4");
  EXPECT_EQ("/resty/" + std::string(kSigningPath), "/resty/v1.0.0/driver/ostrel/uploadBugFile");
}

TEST(UploadUrl, AppendsTheSignatureAsOnePathSegment) {
  const std::u16string upload = u"http://mobi.vorpinapi.net/resty/v1.0.0/driver/ostrel/uploadBugFile";
  EXPECT_EQ(MakeUploadUrl(upload, "17000000002a37936be33c56d66b"), upload + u"/17000000002a37936be33c56d66b");
  EXPECT_EQ(MakeUploadUrl(upload, "3838f37a3a409659a0"), upload + u"/3838f37a3a409659a0");
  EXPECT_EQ(MakeUploadUrl(upload, "1\n3838f37a3a409659a0"), upload + u"/1\n3838f37a3a409659a0");
  EXPECT_EQ(MakeUploadUrl(u"http://127.0.0.1:8080/up", "x"), u"http://127.0.0.1:8080/up/x");
}

TEST(ReportPaths, AppendBothExtensionsDirectly) {
  ReportPaths paths = MakeReportPaths("/tmp/dumps/crash");
  EXPECT_EQ(paths.dumpPath, "/tmp/dumps/crash.dmp");
  EXPECT_EQ(paths.textPath, "/tmp/dumps/crash.txt");
  paths = MakeReportPaths("/tmp/\xE5\xB4\xA9");
  EXPECT_EQ(paths.dumpPath, "/tmp/\xE5\xB4\xA9.dmp");
  paths = MakeReportPaths("/tmp/dir/");
  EXPECT_EQ(paths.textPath, "/tmp/dir/.txt");
}

}  // namespace
