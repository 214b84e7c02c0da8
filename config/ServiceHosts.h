// The three service hosts (built-in defaults that environment variables replace) and the
// two endpoint URLs. Built once, on first use, from any thread; read only afterwards.
#pragma once
#include <memory>
#include <string>

class ServiceHosts {
 public:
  // The table, built by the first caller (which also creates the configuration store);
  // the environment is read only then.
  static ServiceHosts& Instance();

  // The mobile API host as wide text: one unit per ASCII byte; other bytes decoded as UTF-8.
  std::u16string MobileApiHost() const;
  // "http://" + host + "/getTime.php"
  std::u16string GetTimeUrl() const;
  // "http://" + host + "/resty/v1.0.0/driver/ostrel/uploadBugFile"
  std::u16string UploadBugFileUrl() const;

  ~ServiceHosts();

 private:
  ServiceHosts();
  friend struct std::default_delete<ServiceHosts>;

  std::string webHost;
  std::string mobileApiHost;
  std::string mobileApiHost2;
};
