// Pure checks of an upload request: the signature's shape, the parameter block, client names.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

struct SignedTime {
  std::string timeText;  // the leading decimal digits, exactly as sent
  std::int64_t seconds = 0;
};

// A signature is the server time in decimal (up to 18 digits) followed by 18 lower-case hex characters.
// Nothing for any other shape, a missing time included.
std::optional<SignedTime> ParseSignature(const std::string& signature);

// A name a client gives (a file part's file name, a name in the parameter block) is only ever
// recorded, never used as a path; still, one that could act as a path is refused outright.
bool IsSafeClientName(const std::string& name);

struct ParamsNames {
  std::string file1;
  std::string file2;
  std::string reportName;  // file1 without ".dmp"
};

// The parameter block must be a JSON object with string members file_1 = NAME.dmp and
// file_2 = NAME.txt for one safe NAME. Nothing otherwise, with the reason in `why`.
std::optional<ParamsNames> CheckParams(const std::string& params, std::string& why);
