// Md5Digest throughput on 64 B, 4 KiB and 1 MiB. With --md5_input=FILE the 1 MiB case
// hashes that file's bytes (bench/md5.sh passes the file it also gives to md5sum);
// --md5_print only prints the file's digest, so the script can check it against md5sum.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "util/Md5.h"

namespace {

std::string g_input;

std::string Bytes(size_t size) {
  if (size == (1u << 20) && !g_input.empty()) return g_input;
  std::mt19937 random(1321);
  std::string bytes(size, '\0');
  for (auto& b : bytes) b = static_cast<char>(random());
  return bytes;
}

void BM_Md5Digest(benchmark::State& state) {
  const std::string input = Bytes(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(Md5Digest(input));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Md5Digest)->Arg(64)->Arg(4 << 10)->Arg(1 << 20);

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> rest;
  bool printOnly = false;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--md5_print") == 0) {
      printOnly = true;
      continue;
    }
    if (std::strncmp(argv[i], "--md5_input=", 12) == 0) {
      std::ifstream in(argv[i] + 12, std::ios::binary);
      g_input.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      if (g_input.size() != (1u << 20)) {
        std::fprintf(stderr, "md5_bench: %s is not 1 MiB\n", argv[i] + 12);
        return 2;
      }
      continue;
    }
    rest.push_back(argv[i]);
  }
  if (printOnly) {
    std::printf("%s\n", Md5Digest(g_input).c_str());
    return 0;
  }
  int count = static_cast<int>(rest.size());
  benchmark::Initialize(&count, rest.data());
  if (benchmark::ReportUnrecognizedArguments(count, rest.data())) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
