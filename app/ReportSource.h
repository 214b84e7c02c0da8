// What one upload attempt reads of whoever asked for it: the report dialog, or the windowless
// sender. All three are fixed before the worker starts and stay valid until it has posted its
// result; the worker calls them on its own thread.
#pragma once
#include <string>

#include "Common/NetworkCallback.h"
#include "platform/win32/types.h"

class ReportSource {
 public:
  virtual ~ReportSource() = default;
  // The report base path, narrow text in the OEM code page.
  virtual std::string BasePath() const = 0;
  // Receives WM_SEND_RESULT.
  virtual HWND Window() const = 0;
  // Receives OnStart, OnProgress and OnFinish of the upload, on the worker's thread.
  virtual UploadCallback& Callback() = 0;
};
