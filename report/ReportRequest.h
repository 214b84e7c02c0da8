// What the upload request carries: the report name, the parameter block, the two file paths
// and the signed URL. Pure functions of text; any thread.
#pragma once
#include <string>
#include <string_view>

// The file-name part of the OEM base path as UTF-8; empty when it has none.
std::string MakeReportName(std::string_view basePath);

// {"file_1":"NAME.dmp", "file_2":"NAME.txt"}: 34 bytes plus twice the name. A name holding
// a quote, a backslash or a control character is escaped as JSON escapes it, so the block
// stays valid JSON; every other name goes in byte for byte.
std::string MakeParamsBlock(std::string_view reportName);

// The upload URL, "/", then the signature, as wide text.
std::u16string MakeUploadUrl(std::u16string_view uploadUrl, std::string_view signature);

struct ReportPaths {
  std::string dumpPath;  // UTF-8 of base path + ".dmp"
  std::string textPath;  // UTF-8 of base path + ".txt"
};
ReportPaths MakeReportPaths(std::string_view basePath);
