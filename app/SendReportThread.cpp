#include "app/SendReportThread.h"

#include <memory>
#include <string>
#include <vector>

#include "Common/NetworkUtilities.h"
#include "app/ReportSource.h"
#include "config/ServiceHosts.h"
#include "report/Answer.h"
#include "report/ReportRequest.h"
#include "report/Signature.h"

namespace {

// Steps 2 to 9 of an attempt; `callback` is held by the caller throughout.
DWORD RunAttempt(const std::string& basePath, const std::shared_ptr<UploadCallback>& callback) {
  std::string reportName = MakeReportName(basePath);
  if (reportName.empty()) return 0;
  std::string params = MakeParamsBlock(reportName);

  // An empty server time (the request failed) does not stop the attempt.
  std::string serverTime = NetworkUtilities::HTTPGet(ServiceHosts::Instance().GetTimeUrl());
  std::string signature = MakeSignature(params, serverTime);
  std::u16string url = MakeUploadUrl(ServiceHosts::Instance().UploadBugFileUrl(), signature);

  ReportPaths paths = MakeReportPaths(basePath);
  std::vector<FormField> fields = {
      {ContentsFormData, "params", params},
      {FileOctetStream, "file_1", paths.dumpPath},
      {FileTextPlain, "file_2", paths.textPath},
  };

  std::string answer;
  {
    std::weak_ptr<UploadCallback> weak = callback;
    answer = NetworkUtilities::HTTPPostMultipart(url, fields, weak);
  }
  return IsAnswerAccepted(answer) == 1 ? 1 : 0;
}

}  // namespace

DWORD WINAPI SendReportThread(LPVOID parameter) {
  auto* source = static_cast<ReportSource*>(parameter);
  HWND window = nullptr;
  DWORD result = 0;
  std::shared_ptr<UploadCallback> callback;
  // Any exception (allocation, a library, a conversion) ends the attempt as a failure; the
  // result is still posted exactly once.
  try {
    window = source->Window();
    // The source belongs to its owner: this handle's release does nothing.
    callback = std::shared_ptr<UploadCallback>(&source->Callback(), [](UploadCallback*) {});
    result = RunAttempt(source->BasePath(), callback);
  } catch (...) {
    result = 0;
  }
  PostMessageW(window, WM_SEND_RESULT, result, 0);
  callback.reset();
  return result;
}
