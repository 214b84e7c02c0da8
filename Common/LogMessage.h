// One diagnostic line, written to the logging library when the object dies at the end of
// its statement:  LogMessage(__LINE__, false, file, function, u"ERROR").stream << "message";
// Used by one thread; the thread id in the line is that of the constructing thread.
#pragma once
#include <cstdint>
#include <string>

#include "Common/WideStream.h"

class LogMessage {
 public:
  LogMessage(std::int32_t line, bool flag, std::u16string file, std::u16string function, std::u16string level);
  virtual ~LogMessage();
  LogMessage(const LogMessage&) = delete;
  LogMessage& operator=(const LogMessage&) = delete;

  bool flag;
  std::u16string file;
  std::int32_t line;
  std::u16string function;
  std::u16string level;
  WideStream stream;
  std::u16string text;
};

// The part of `path` after its last '/' or '\', whichever comes later; all of it without either.
std::u16string LogFileName(const std::u16string& path);
