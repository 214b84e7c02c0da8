#include "Common/LogMessage.h"

#include <utility>

#include "log/Log.h"
#include "platform/win32/kernel/kernel.h"

std::u16string LogFileName(const std::u16string& path) {
  std::size_t cut = path.find_last_of(u"/\\");
  return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

LogMessage::LogMessage(std::int32_t line_, bool flag_, std::u16string file_, std::u16string function_,
                       std::u16string level_)
    : flag(flag_), file(std::move(file_)), line(line_), function(std::move(function_)), level(std::move(level_)) {
  stream << level << u"[" << LogFileName(file) << u" at:" << function << u" L:" << line << u" TH:"
         << static_cast<DWORD>(GetCurrentThreadId()) << u"]\t\"";
}

LogMessage::~LogMessage() {
  try {
    stream << u"\"";
    text = stream.str();
    Log::Save(text.c_str(), flag);
    text.clear();
  } catch (...) {
    // Out of memory while finishing a diagnostic line: the line is lost, the caller is not.
  }
}
