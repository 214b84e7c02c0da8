#include "service/UploadChecks.h"

#include <json/json.h>
#include <memory>

std::optional<SignedTime> ParseSignature(const std::string& signature) {
  // The hash part may begin with digits too, so the time is everything before the last 18.
  if (signature.size() <= 18 || signature.size() > 18 + 18) return std::nullopt;
  std::size_t digits = signature.size() - 18;
  for (std::size_t i = 0; i < signature.size(); ++i) {
    char c = signature[i];
    bool ok = i < digits ? (c >= '0' && c <= '9') : ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'));
    if (!ok) return std::nullopt;
  }
  SignedTime t;
  t.timeText = signature.substr(0, digits);
  t.seconds = std::stoll(t.timeText);
  return t;
}

bool IsSafeClientName(const std::string& name) {
  if (name.empty() || name == "." || name == ".." || name.size() > 255) return false;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}

namespace {
bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}
}  // namespace

std::optional<ParamsNames> CheckParams(const std::string& params, std::string& why) {
  Json::CharReaderBuilder builder;
  builder["collectComments"] = false;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (!reader->parse(params.data(), params.data() + params.size(), &root, &errors) || !root.isObject()) {
    why = "params is not a JSON object";
    return std::nullopt;
  }
  if (!root["file_1"].isString() || !root["file_2"].isString()) {
    why = "params lacks file_1 or file_2";
    return std::nullopt;
  }
  ParamsNames names{root["file_1"].asString(), root["file_2"].asString(), {}};
  if (!IsSafeClientName(names.file1) || !IsSafeClientName(names.file2)) {
    why = "unsafe file name in params";
    return std::nullopt;
  }
  if (!EndsWith(names.file1, ".dmp") || !EndsWith(names.file2, ".txt") ||
      names.file1.substr(0, names.file1.size() - 4) != names.file2.substr(0, names.file2.size() - 4)) {
    why = "params do not name one report";
    return std::nullopt;
  }
  names.reportName = names.file1.substr(0, names.file1.size() - 4);
  if (names.reportName.empty()) {
    why = "params name an empty report";
    return std::nullopt;
  }
  return names;
}
