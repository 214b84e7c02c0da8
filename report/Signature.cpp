#include "report/Signature.h"

#include "util/Md5.h"

std::string MakeSignature(std::string_view paramsBlock, std::string_view serverTime) {
  std::string inner = Md5Digest(paramsBlock);
  std::string signing;
  signing += kSigningPath;
  signing += kSigningSeparator;
  signing += inner;
  signing += kSigningSeparator;
  signing += kSigningKey;
  signing += kSigningSeparator;
  signing += serverTime;
  std::string outer = Md5Digest(signing);
  return std::string(serverTime) + outer.substr(14);
}
