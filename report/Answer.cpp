#include "report/Answer.h"

#include <json/json.h>

#include <string>

#include "util/TextConversion.h"

namespace {

// isInt() also holds for 200.0; only a number written as an integer counts.
bool IsInteger200(const Json::Value& value) {
  if (value.type() == Json::intValue) return value.asLargestInt() == 200;
  if (value.type() == Json::uintValue) return value.asLargestUInt() == 200;
  return false;
}

}  // namespace

int IsAnswerAccepted(std::string_view answer) {
  try {
    bool valid = false;
    std::string text = Utf8ToAnsi(answer, &valid);
    if (!valid || text.empty()) return 0;
    Json::Reader reader;
    Json::Value root;
    if (!reader.parse(text, root)) return 0;
    if (!root.isObject()) return 0;
    const Json::Value* errnoValue = root.find("errno", "errno" + 5);
    if (errnoValue == nullptr || !IsInteger200(*errnoValue)) return 0;
    const Json::Value* result = root.find("result", "result" + 6);
    if (result == nullptr || !result->isObject()) return 0;
    const Json::Value* data = result->find("data", "data" + 4);
    if (data == nullptr || !data->isString()) return 0;
    return data->asString() == "ok" ? 1 : 0;
  } catch (...) {
    // jsoncpp throws past its nesting limit; memory can run out. Neither is acceptance.
    return 0;
  }
}
