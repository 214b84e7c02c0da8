#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <memory>

#include "Common/NetworkCallback.h"
#include "Common/TransferCallbacks.h"

namespace {

struct Figures {
  int calls = 0;
  double total = -1, now = -1;
};

class Upload : public UploadCallback {
 public:
  void OnStart() override {}
  void OnFinish(bool, int) override {}
  void OnProgress(double total, double now) override { got = {got.calls + 1, total, now}; }
  Figures got;
};

// One OnProgress overrides both bases' slots; the figures it gets tell which kind was served.
class Both : public DownloadCallback, public UploadCallback {
 public:
  void OnStart() override {}
  void OnFinish(bool, int) override {}
  void OnProgress(double total, double now) override { got = {got.calls + 1, total, now}; }
  Figures got;
};

class Neither : public NetworkCallback {};

}  // namespace

TEST(ReportProgress, UnknownTotalsNeverConsultTheObject) {
  TransferContext gone;  // expired reference
  EXPECT_EQ(ReportProgress(&gone, 0.0, 0.0, 0.99, 0.5), 0);
  auto upload = std::make_shared<Upload>();
  TransferContext live{upload};
  EXPECT_EQ(ReportProgress(&live, 0.5, 0.0, 0.0, 0.0), 0);
  EXPECT_EQ(upload->got.calls, 0);
}

TEST(ReportProgress, GoneObjectOrStopRequestAbortsWith42) {
  TransferContext gone;
  EXPECT_EQ(ReportProgress(&gone, 0, 0, 10, 5), 42);
  auto upload = std::make_shared<Upload>();
  TransferContext live{upload};
  upload->stopRequested = true;
  EXPECT_EQ(ReportProgress(&live, 0, 0, 10, 5), 42);
  EXPECT_EQ(upload->got.calls, 0);
  {
    std::weak_ptr<NetworkCallback> weak = upload;
    upload.reset();
    TransferContext expired{weak};
    EXPECT_EQ(ReportProgress(&expired, 0, 0, 10, 5), 42);
  }
}

TEST(ReportProgress, RoutesFiguresByKind) {
  auto upload = std::make_shared<Upload>();
  TransferContext u{upload};
  EXPECT_EQ(ReportProgress(&u, 100, 10, 200, 20), 0);
  EXPECT_EQ(upload->got.total, 200);
  EXPECT_EQ(upload->got.now, 20);
  // Only the answer's size is known yet: the upload side still hears, with a total of 0.
  EXPECT_EQ(ReportProgress(&u, 100, 10, 0, 0), 0);
  EXPECT_EQ(upload->got.calls, 2);
  EXPECT_EQ(upload->got.total, 0);

  auto both = std::make_shared<Both>();
  TransferContext b{std::static_pointer_cast<UploadCallback>(both)};
  EXPECT_EQ(ReportProgress(&b, 100, 10, 200, 20), 0);
  EXPECT_EQ(both->got.calls, 1);
  EXPECT_EQ(both->got.total, 100);
  EXPECT_EQ(both->got.now, 10);

  auto neither = std::make_shared<Neither>();
  TransferContext n{neither};
  EXPECT_EQ(ReportProgress(&n, 100, 10, 200, 20), 0);
}

TEST(OpenSocket, OpensOnlyWhileTheObjectLives) {
  curl_sockaddr address{};
  address.family = AF_INET;
  address.socktype = SOCK_STREAM;
  address.protocol = 0;

  TransferContext gone;
  EXPECT_EQ(OpenSocket(&gone, CURLSOCKTYPE_IPCXN, &address), CURL_SOCKET_BAD);

  auto upload = std::make_shared<Upload>();
  upload->stopRequested = true;
  TransferContext live{upload};
  curl_socket_t s = OpenSocket(&live, CURLSOCKTYPE_IPCXN, &address);
  ASSERT_NE(s, CURL_SOCKET_BAD);
  EXPECT_EQ(upload->socketHandle, s);
  EXPECT_FALSE(upload->stopRequested);
  int type = 0;
  socklen_t len = sizeof type;
  ASSERT_EQ(getsockopt(s, SOL_SOCKET, SO_TYPE, &type, &len), 0);
  EXPECT_EQ(type, SOCK_STREAM);
  ::close(s);

  // A family the system refuses: the invalid value is stored and handed back.
  address.family = -1;
  EXPECT_EQ(OpenSocket(&live, CURLSOCKTYPE_IPCXN, &address), CURL_SOCKET_BAD);
  EXPECT_EQ(upload->socketHandle, CURL_SOCKET_BAD);
}
