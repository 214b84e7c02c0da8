#include "report/ReportRequest.h"

#include <cstdio>

#include "platform/win32/types.h"
#include "util/PathUtilities.h"
#include "util/TextConversion.h"

namespace {

std::string EscapeJson(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[7];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
          out += escaped;
        } else {
          out.push_back(c);
        }
    }
  }
  return out;
}

}  // namespace

std::string MakeReportName(std::string_view basePath) {
  std::u16string wide = OemToWide(basePath);
  WCHAR name[MAX_PATH] = {};
  FileNameFromPath(wide.c_str(), name, MAX_PATH);
  return WideToUtf8(name);
}

std::string MakeParamsBlock(std::string_view reportName) {
  std::string name = EscapeJson(reportName);
  std::string block;
  block.reserve(34 + 2 * name.size());
  block += "{\"file_1\":\"";
  block += name;
  block += ".dmp";
  block += "\", \"file_2\":\"";
  block += name;
  block += ".txt";
  block += "\"}";
  return block;
}

std::u16string MakeUploadUrl(std::u16string_view uploadUrl, std::string_view signature) {
  std::string url = WideToUtf8(uploadUrl);
  url += '/';
  url += signature;
  return OemToWide(url);
}

ReportPaths MakeReportPaths(std::string_view basePath) {
  std::string base(basePath);
  return ReportPaths{OemToUtf8(base + ".dmp"), OemToUtf8(base + ".txt")};
}
