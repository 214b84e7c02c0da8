// The first use of both singletons, from many threads at once: one creation, one instance.
// This is the only test of its process, so the singletons really are created here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "config/ConfigStore.h"
#include "config/ServiceHosts.h"
#include "tests/kernel/child_process.h"

namespace {

TEST(ConfigConcurrency, FirstUseFromManyThreads) {
  bp::test::TempFolder home;
  ::setenv("HOME", home.Path().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home.Path() + "/.config").c_str(), 1);
  ::setenv("MOBI_VORPINAPI_NET_HOST", "127.0.0.1:9", 1);
  constexpr int kThreads = 8;
  std::vector<const ServiceHosts*> hosts(kThreads);
  std::vector<const ConfigStore*> stores(kThreads);
  std::vector<std::u16string> urls(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      // Half start from the store, half from the table, so both once-guards race.
      if (i % 2 == 0) stores[i] = &ConfigStore::Instance();
      hosts[i] = &ServiceHosts::Instance();
      if (i % 2 == 1) stores[i] = &ConfigStore::Instance();
      urls[i] = hosts[i]->GetTimeUrl();
    });
  }
  for (auto& t : threads) t.join();
  for (int i = 1; i < kThreads; ++i) {
    EXPECT_EQ(hosts[i], hosts[0]);
    EXPECT_EQ(stores[i], stores[0]);
    EXPECT_EQ(urls[i], u"http://127.0.0.1:9/getTime.php");
  }
}

}  // namespace
