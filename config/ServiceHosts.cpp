#include "config/ServiceHosts.h"

#include <mutex>

#include "config/ConfigStore.h"
#include "util/TextConversion.h"

#ifndef BUGPOST_WEB_HOST
#error "BUGPOST_WEB_HOST comes from the build configuration"
#endif

namespace {

std::once_flag g_hostsOnce;
std::unique_ptr<ServiceHosts> g_hosts;

struct HostSetting {
  const char* variable;
  const char* defaultValue;
};

}  // namespace

ServiceHosts::ServiceHosts() {
  const HostSetting settings[] = {
      {"A_VORPIN_CN_HOST", BUGPOST_WEB_HOST},
      {"MOBI_VORPINAPI_NET_HOST", BUGPOST_MOBILE_API_HOST},
      {"MAPI_VORPINAPI_NET_HOST", BUGPOST_MOBILE_API_HOST2},
  };
  std::string* fields[] = {&webHost, &mobileApiHost, &mobileApiHost2};
  for (size_t i = 0; i < 3; ++i) {
    ConfigStore::Instance();  // the first call makes the store and the data folder
    ConfigStore::GetEnvString(settings[i].variable, *fields[i], settings[i].defaultValue);
  }
}

ServiceHosts::~ServiceHosts() = default;

ServiceHosts& ServiceHosts::Instance() {
  std::call_once(g_hostsOnce, [] { g_hosts.reset(new ServiceHosts()); });
  return *g_hosts;
}

std::u16string ServiceHosts::MobileApiHost() const {
  // ASCII bytes become units of the same value. A host with bytes above 0x7F came from a
  // UTF-8 environment: decode it, so that the URL hands libcurl the very same bytes.
  return OemToWide(mobileApiHost);
}

std::u16string ServiceHosts::GetTimeUrl() const { return u"http://" + MobileApiHost() + u"/getTime.php"; }

std::u16string ServiceHosts::UploadBugFileUrl() const {
  return u"http://" + MobileApiHost() + u"/resty/v1.0.0/driver/ostrel/uploadBugFile";
}
