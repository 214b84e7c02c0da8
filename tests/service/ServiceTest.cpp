#include <gtest/gtest.h>

#include <httplib.h>
#include <json/json.h>

#include <fstream>
#include <thread>
#include <sstream>

#include "Common/NetworkUtilities.h"
#include "report/Answer.h"
#include "report/ReportRequest.h"
#include "report/Signature.h"
#include "service/Sha256.h"
#include "service/UploadChecks.h"
#include "tests/service/ServiceFixture.h"

namespace fs = std::filesystem;
using testservice::Now;
using testservice::RunningService;

namespace {

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Sha256Hex(const std::string& bytes) {
  Sha256 sha;
  sha.Update(bytes.data(), bytes.size());
  return sha.FinishHex();
}

Json::Value ParseJson(const std::string& text) {
  Json::Value v;
  Json::CharReaderBuilder b;
  std::unique_ptr<Json::CharReader> r(b.newCharReader());
  std::string errors;
  r->parse(text.data(), text.data() + text.size(), &v, &errors);
  return v;
}

struct Upload {
  std::string signature;
  httplib::MultipartFormDataItems parts;
};

// A request the service should accept, built the way the sender builds it.
Upload GoodUpload(const std::string& name, const std::string& dump, const std::string& text,
                  const std::string& time = Now()) {
  std::string params = MakeParamsBlock(name);
  return {MakeSignature(params, time),
          {{"params", params, "", "form/data"},
           {"file_1", dump, name + ".dmp", "applicationx/octet-stream"},
           {"file_2", text, name + ".txt", "text/plain"}}};
}

httplib::Result Send(RunningService& service, const Upload& upload) {
  httplib::Client client("127.0.0.1", service.Port());
  return client.Post(("/resty/v1.0.0/driver/ostrel/uploadBugFile/" + upload.signature).c_str(), upload.parts);
}

}  // namespace

TEST(UploadChecks, SignatureShapeAndClientNames) {
  EXPECT_EQ(ParseSignature("1765000000" + std::string(18, 'a'))->seconds, 1765000000);
  EXPECT_EQ(ParseSignature("1" + std::string("0123456789abcdef01"))->timeText, "1");
  for (const std::string& bad : std::vector<std::string>{std::string(18, 'a'), "17650x0000" + std::string(18, 'a'),
                                                       "1765000000" + std::string(18, 'A'),
                                                       "1765000000" + std::string(17, 'a') + "g", ""})
    EXPECT_FALSE(ParseSignature(bad)) << bad;
  for (const char* ok : {"crash.dmp", "程序.txt", "a..b.dmp"}) EXPECT_TRUE(IsSafeClientName(ok)) << ok;
  for (const char* bad : {"", ".", "..", "../x.dmp", "a/b.dmp", "a\\b.dmp", "c:x", "a\nb"})
    EXPECT_FALSE(IsSafeClientName(bad)) << bad;
}

TEST(Service, AnswersTheTime) {
  RunningService service("time");
  ASSERT_TRUE(service.Started()) << service.Why();
  std::string before = Now();
  std::string answer = NetworkUtilities::HTTPGet(Wide("http://" + service.Host() + "/getTime.php"));
  EXPECT_GE(std::stoll(answer), std::stoll(before));
  EXPECT_LE(std::stoll(answer), std::stoll(Now()));
  EXPECT_EQ(answer.find_first_not_of("0123456789"), std::string::npos);
}

TEST(Service, StoresARealUploadByteForByte) {
  RunningService service("store");
  ASSERT_TRUE(service.Started()) << service.Why();
  auto dir = testservice::Scratch("store_files");
  std::string dump("MDMP\0\0\x01\xff", 8);
  for (int i = 0; i < 300000; ++i) dump += static_cast<char>(i * 7);
  std::string text = "崩溃 report\r\n\0end";
  std::ofstream(dir / "crash.dmp", std::ios::binary) << dump;
  std::ofstream(dir / "crash.txt", std::ios::binary) << text;
  std::string params = MakeParamsBlock("crash");
  std::string time = NetworkUtilities::HTTPGet(Wide("http://" + service.Host() + "/getTime.php"));
  std::string signature = MakeSignature(params, time);
  std::string answer = NetworkUtilities::HTTPPostMultipart(
      Wide(service.UploadUrl(signature)),
      {{ContentsFormData, "params", params},
       {FileOctetStream, "file_1", (dir / "crash.dmp").string()},
       {FileTextPlain, "file_2", (dir / "crash.txt").string()}},
      {});
  EXPECT_EQ(answer, "") << "an empty callback reference never connects";

  struct Quiet : UploadCallback {
    void OnStart() override {}
    void OnFinish(bool, int) override {}
    void OnProgress(double, double) override {}
  };
  auto callback = std::make_shared<Quiet>();
  answer = NetworkUtilities::HTTPPostMultipart(Wide(service.UploadUrl(signature)),
                                               {{ContentsFormData, "params", params},
                                                {FileOctetStream, "file_1", (dir / "crash.dmp").string()},
                                                {FileTextPlain, "file_2", (dir / "crash.txt").string()}},
                                               callback);
  EXPECT_EQ(IsAnswerAccepted(answer), 1) << answer;
  Json::Value body = ParseJson(answer);
  std::string id = body["result"]["id"].asString();
  ASSERT_FALSE(id.empty());
  EXPECT_EQ(ReadFile(std::filesystem::path(service.ReportFolder(id)) / "report.dmp"), dump);
  EXPECT_EQ(ReadFile(std::filesystem::path(service.ReportFolder(id)) / "report.txt"), text);

  Json::Value list = ParseJson(NetworkUtilities::HTTPGet(Wide("http://" + service.Host() + "/reports")));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]["id"].asString(), id);
  EXPECT_EQ(list[0]["name"].asString(), "crash");
  EXPECT_EQ(list[0]["signature"].asString(), signature);
  EXPECT_EQ(list[0]["params_size"].asInt64(), static_cast<Json::Int64>(params.size()));
  EXPECT_EQ(list[0]["file_1_size"].asInt64(), static_cast<Json::Int64>(dump.size()));
  EXPECT_EQ(list[0]["file_2_size"].asInt64(), static_cast<Json::Int64>(text.size()));
  EXPECT_EQ(list[0]["file_1_sha256"].asString(), Sha256Hex(dump));
  EXPECT_EQ(list[0]["file_2_sha256"].asString(), Sha256Hex(text));
  EXPECT_EQ(list[0]["location"].asString(), service.ReportFolder(id));
  EXPECT_EQ(service.TempFiles(), 0u);
  ASSERT_EQ(service.Lines().size(), 1u);
  EXPECT_EQ(service.Lines()[0].rfind("stored " + id, 0), 0u);
}

TEST(Service, RefusesWithJsonErrnoAndOneLine) {
  RunningService service("refusals");
  ASSERT_TRUE(service.Started()) << service.Why();
  auto withParams = [](const std::string& params, const std::string& time = Now()) {
    return Upload{MakeSignature(params, time),
                  {{"params", params, "", "form/data"},
                   {"file_1", "d", "x.dmp", "applicationx/octet-stream"},
                   {"file_2", "t", "x.txt", "text/plain"}}};
  };
  auto without = [](Upload u, const std::string& name) {
    std::erase_if(u.parts, [&](const httplib::MultipartFormData& p) { return p.name == name; });
    return u;
  };
  Upload good = GoodUpload("x", "d", "t");
  Upload badHash = good;
  badHash.signature.back() = badHash.signature.back() == '0' ? '1' : '0';
  Upload noTime = good;
  noTime.signature = noTime.signature.substr(noTime.signature.size() - 18);
  Upload traversalPart = good;
  traversalPart.parts[1].filename = "../../etc/passwd";
  Upload duplicate = good;
  duplicate.parts.push_back(good.parts[2]);
  struct Case {
    const char* what;
    Upload upload;
    int status;
  } cases[] = {
      {"bad signature", badHash, 403},
      {"no time in the signature", noTime, 403},
      {"stale time", GoodUpload("x", "d", "t", std::to_string(std::stoll(Now()) - 301)), 403},
      {"time from the future", GoodUpload("x", "d", "t", std::to_string(std::stoll(Now()) + 1000)), 403},
      {"missing part file_2", without(good, "file_2"), 400},
      {"missing part file_1", without(good, "file_1"), 400},
      {"missing params", without(good, "params"), 400},
      {"params not JSON", withParams("not json"), 400},
      {"params without file_2", withParams(R"({"file_1":"x.dmp"})"), 400},
      {"traversal name in params", withParams(R"({"file_1":"../../x.dmp", "file_2":"../../x.txt"})"), 400},
      {"traversal name in a part", traversalPart, 400},
      {"duplicate part", duplicate, 400},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::size_t linesBefore = service.Lines().size();
    httplib::Result result = Send(service, c.upload);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, c.status);
    Json::Value body = ParseJson(result->body);
    EXPECT_EQ(body["errno"].asInt(), c.status) << result->body;
    EXPECT_EQ(IsAnswerAccepted(result->body), 0);
    std::vector<std::string> lines = service.Lines();
    ASSERT_EQ(lines.size(), linesBefore + 1);
    EXPECT_EQ(lines.back().rfind("refused " + std::to_string(c.status), 0), 0u) << lines.back();
  }
  // Other paths and methods answer in the same shape.
  httplib::Client client("127.0.0.1", service.Port());
  auto expectRefusal = [](const httplib::Result& result, int status) {
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, status);
    EXPECT_EQ(ParseJson(result->body)["errno"].asInt(), status) << result->body;
  };
  expectRefusal(client.Get("/nothing"), 404);
  expectRefusal(client.Post("/getTime.php"), 404);
  expectRefusal(client.Post(("/resty/v1.0.0/driver/ostrel/uploadBugFile/" + good.signature).c_str(), "x", "text/plain"),
                400);
  Json::Value list = ParseJson(client.Get("/reports")->body);
  EXPECT_EQ(list.size(), 0u);
  EXPECT_EQ(service.TempFiles(), 0u);
}

TEST(Service, ReplayIsASignatureWithContentsAlreadyAccepted) {
  RunningService service("replay");
  ASSERT_TRUE(service.Started()) << service.Why();
  std::string time = Now();
  Upload first = GoodUpload("crash", "dump one", "text", time);
  Upload other = GoodUpload("crash", "dump two", "text", time);
  ASSERT_EQ(first.signature, other.signature);
  EXPECT_EQ(Send(service, first)->status, 200);
  httplib::Result again = Send(service, first);
  EXPECT_EQ(again->status, 409);
  EXPECT_EQ(ParseJson(again->body)["errno"].asInt(), 409);
  // Same name and time, so the same signature, but another report: accepted.
  EXPECT_EQ(Send(service, other)->status, 200);
  httplib::Client client("127.0.0.1", service.Port());
  EXPECT_EQ(ParseJson(client.Get("/reports")->body).size(), 2u);
  EXPECT_EQ(service.TempFiles(), 0u);
}

TEST(Service, RefusesBodiesOverTheLimit) {
  RunningService service("limit", 64 * 1024);
  ASSERT_TRUE(service.Started()) << service.Why();
  // Small enough for one go: refused with 413 and the JSON body.
  httplib::Result result = Send(service, GoodUpload("big", std::string(100 * 1024, 'x'), "t"));
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 413);
  EXPECT_EQ(ParseJson(result->body)["errno"].asInt(), 413) << result->body;

  // The real client: a 3 MiB report is stopped before or while its body travels.
  auto dir = testservice::Scratch("limit_files");
  std::ofstream(dir / "big.dmp", std::ios::binary) << std::string(3 << 20, 'd');
  std::ofstream(dir / "big.txt", std::ios::binary) << "t";
  std::string params = MakeParamsBlock("big");
  struct Quiet : UploadCallback {
    void OnStart() override {}
    void OnFinish(bool, int) override {}
    void OnProgress(double, double) override {}
  };
  auto callback = std::make_shared<Quiet>();
  std::string answer = NetworkUtilities::HTTPPostMultipart(Wide(service.UploadUrl(MakeSignature(params, Now()))),
                                                           {{ContentsFormData, "params", params},
                                                            {FileOctetStream, "file_1", (dir / "big.dmp").string()},
                                                            {FileTextPlain, "file_2", (dir / "big.txt").string()}},
                                                           callback);
  EXPECT_EQ(answer, "");
  std::vector<std::string> lines = service.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].rfind("refused 413", 0), 0u) << lines[1];
  EXPECT_EQ(service.TempFiles(), 0u);
}

TEST(Service, ConcurrentUploadsAreAllStored) {
  RunningService service("concurrent");
  ASSERT_TRUE(service.Started()) << service.Why();
  constexpr int kSenders = 6;
  std::vector<int> statuses(kSenders, 0);
  std::vector<std::thread> senders;
  for (int i = 0; i < kSenders; ++i) {
    senders.emplace_back([&, i] {
      httplib::Result r = Send(service, GoodUpload("crash" + std::to_string(i), std::string(200000, 'a' + i), "t"));
      statuses[i] = r ? r->status : -1;
    });
  }
  for (std::thread& t : senders) t.join();
  for (int status : statuses) EXPECT_EQ(status, 200);
  httplib::Client client("127.0.0.1", service.Port());
  Json::Value list = ParseJson(client.Get("/reports")->body);
  ASSERT_EQ(list.size(), static_cast<unsigned>(kSenders));
  for (const Json::Value& item : list) {
    std::string name = item["name"].asString();
    char letter = static_cast<char>('a' + std::stoi(name.substr(5)));
    EXPECT_EQ(ReadFile(fs::path(item["location"].asString()) / "report.dmp"), std::string(200000, letter)) << name;
  }
}
