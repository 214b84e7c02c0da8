#include <gtest/gtest.h>

#include <string>

#include "report/Answer.h"

namespace {

using namespace std::string_literals;

TEST(Answer, AcceptanceCases) {
  const std::pair<std::string, int> cases[] = {
      {R"({"errno":200,"result":{"data":"ok"}})", 1},
      {R"({"msg":"\u53d1\u9001","errno":200,"result":{"data":"ok","id":7},"x":[1]})", 1},
      {"{\"errno\":200,\"msg\":\"\xE6\x88\x90\xE5\x8A\x9F\",\"result\":{\"data\":\"ok\"}}", 1},
      {" \n{ \"errno\" : 200 , \"result\" : { \"data\" : \"ok\" } }\n", 1},
      {R"({"errno":"200","result":{"data":"ok"}})", 0},
      {R"({"errno":200.0,"result":{"data":"ok"}})", 0},
      {R"({"errno":2e2,"result":{"data":"ok"}})", 0},
      {R"({"errno":201,"result":{"data":"ok"}})", 0},
      {R"({"errno":-200,"result":{"data":"ok"}})", 0},
      {R"({"errno":18446744073709551615,"result":{"data":"ok"}})", 0},
      {R"({"errno":true,"result":{"data":"ok"}})", 0},
      {R"({"result":{"data":"ok"}})", 0},
      {R"({"errno":200,"result":{"data":"OK"}})", 0},
      {R"({"errno":200,"result":{"data":"ok "}})", 0},
      {R"({"errno":200,"result":{"data":"ok\u0000"}})", 0},
      {R"({"errno":200,"result":{"data":1}})", 0},
      {R"({"errno":200,"result":{"Data":"ok"}})", 0},
      {R"({"errno":200,"result":"ok"})", 0},
      {R"({"errno":200,"result":["ok"]})", 0},
      {R"({"errno":200,"result":null})", 0},
      {R"({"errno":200})", 0},
      {R"({"errno":200,"data":"ok"})", 0},
      {"null", 0},
      {R"([{"errno":200,"result":{"data":"ok"}}])", 0},
      {"200", 0},
      {R"("ok")", 0},
      {"true", 0},
      {"OK", 0},
      {"", 0},
      {"<html><body><h1>502 Bad Gateway</h1></body></html>", 0},
      {R"({"errno":200,"result":{"data":"ok")", 0},  // cut short
  };
  for (const auto& [answer, accepted] : cases) EXPECT_EQ(IsAnswerAccepted(answer), accepted) << answer;
}

TEST(Answer, InvalidUtf8IsRefused) {
  EXPECT_EQ(IsAnswerAccepted("{\"errno\":200,\"result\":{\"data\":\"ok\"},\"m\":\"\xFF\"}"), 0);
  EXPECT_EQ(IsAnswerAccepted("{\"errno\":200,\"result\":{\"data\":\"ok\"},\"m\":\"\xC0\xAF\"}"), 0);
  EXPECT_EQ(IsAnswerAccepted("{\"errno\":200,\"result\":{\"data\":\"ok\"}}\xE4\xB8"), 0);
}

TEST(Answer, TextStopsAtTheFirstNul) {
  EXPECT_EQ(IsAnswerAccepted("{\"errno\":200,\"result\":{\"data\":\"ok\"}}\0garbage"s), 1);
  EXPECT_EQ(IsAnswerAccepted("{\"errno\":200,\0\"result\":{\"data\":\"ok\"}}"s), 0);
}

TEST(Answer, DeepNestingGivesZeroWithoutThrowing) {
  std::string arrays = std::string(5000, '[') + std::string(5000, ']');
  EXPECT_EQ(IsAnswerAccepted(arrays), 0);
  std::string deep = R"({"errno":200,"result":{"data":"ok"},"x":)" + arrays + "}";
  EXPECT_EQ(IsAnswerAccepted(deep), 0);
  std::string objects;
  for (int i = 0; i < 5000; ++i) objects += "{\"a\":";
  objects += "1" + std::string(5000, '}');
  EXPECT_EQ(IsAnswerAccepted(objects), 0);
}

}  // namespace
