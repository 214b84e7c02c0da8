// Callback interfaces of transfers. The network layer only ever holds weak references to a
// callback object and calls it on the thread that runs the transfer, never on the UI thread.
#pragma once
#include <atomic>
#include <atomic>
#include <memory>

class NetworkCallback {
 public:
  virtual ~NetworkCallback() = default;

  // Socket of the last connection OpenSocket opened for this object; libcurl owns and closes it.
  int socketHandle = 0;
  // True stops the next progress report of a transfer reporting here; OpenSocket clears it.
  // Atomic because the owner may ask for the stop from its own thread (a dialog being closed).
  std::atomic<bool> stopRequested{false};
};

class UploadCallback : public NetworkCallback {
 public:
  // At most once per transfer, before anything else HTTPPostMultipart does.
  virtual void OnStart() = 0;
  // At most once per transfer, as its very last action; `flag` is always false, do not rely on it;
  // `code` is libcurl's result (0 also when the transfer never ran).
  virtual void OnFinish(bool flag, int code) = 0;
  // Request body size and bytes sent so far; may repeat the same figures many times.
  virtual void OnProgress(double total, double now) = 0;
};

class DownloadCallback : public NetworkCallback {
 public:
  virtual void OnProgress(double total, double now) = 0;
};

// Ties one running transfer to its callback object, which it never owns.
struct TransferContext {
  std::weak_ptr<NetworkCallback> callback;
};
