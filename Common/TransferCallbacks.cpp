#include "Common/TransferCallbacks.h"

#include <sys/socket.h>

#include "Common/NetworkCallback.h"

int ReportProgress(void* context, double downloadTotal, double downloadNow, double uploadTotal, double uploadNow) {
  if (downloadTotal < 1.0 && uploadTotal < 1.0) return 0;
  auto* transfer = static_cast<TransferContext*>(context);
  try {
    std::shared_ptr<NetworkCallback> object = transfer->callback.lock();
    if (!object || object->stopRequested) return kProgressAbort;
    if (auto* download = dynamic_cast<DownloadCallback*>(object.get())) {
      download->OnProgress(downloadTotal, downloadNow);
    } else if (auto* upload = dynamic_cast<UploadCallback*>(object.get())) {
      upload->OnProgress(uploadTotal, uploadNow);
    }
    return 0;
  } catch (...) {
    // Nothing may unwind through libcurl's C frames; a failing receiver ends the transfer.
    return kProgressAbort;
  }
}

curl_socket_t OpenSocket(void* context, curlsocktype /*purpose*/, struct curl_sockaddr* address) {
  auto* transfer = static_cast<TransferContext*>(context);
  std::shared_ptr<NetworkCallback> object = transfer->callback.lock();
  if (!object) return CURL_SOCKET_BAD;
  curl_socket_t s = ::socket(address->family, address->socktype, address->protocol);
  object->socketHandle = s;
  object->stopRequested = false;
  return s;
}
