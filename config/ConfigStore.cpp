#include "config/ConfigStore.h"

#include <cstdio>
#include <mutex>
#include <new>

#include "platform/win32/kernel/crt.h"
#include "util/PathUtilities.h"
#include "util/TextConversion.h"

namespace {
std::once_flag g_storeOnce;
std::unique_ptr<ConfigStore> g_store;
}  // namespace

ConfigStore::ConfigStore() {
  fileName = "config.ini";
  dataFolder = WideToOem(PersonalDataFolder());
}

ConfigStore::~ConfigStore() = default;

ConfigStore& ConfigStore::Instance() {
  std::call_once(g_storeOnce, [] { g_store.reset(new ConfigStore()); });
  return *g_store;
}

bool ConfigStore::GetEnvString(const std::string& name, std::string& out, const std::string& defaultValue) {
  out = defaultValue;
  size_t size = 0;
  if (getenv_s(&size, nullptr, 0, name.c_str()) != 0 || size == 0) return false;
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
  if (!buffer) {
    std::fputs("Failed to allocate memory!\n", stdout);
    return false;
  }
  // The variable may have grown since the size was asked for: then it counts as absent.
  if (getenv_s(&size, buffer.get(), size, name.c_str()) != 0) return false;
  out.assign(buffer.get());
  return true;
}
