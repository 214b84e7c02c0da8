// Md5Digest throughput on 64 B, 4 KiB and 1 MiB. With BUGPOST_MD5_INPUT naming a 1 MiB file
// the 1 MiB case hashes that file's bytes and labels its result with their digest, so
// bench/md5.sh can check it against md5sum on the same file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "util/Md5.h"

namespace {

std::string Bytes(size_t size) {
  const char* file = std::getenv("BUGPOST_MD5_INPUT");
  if (size == (1u << 20) && file != nullptr && file[0] != 0) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::mt19937 random(1321);
  std::string bytes(size, '\0');
  for (auto& b : bytes) b = static_cast<char>(random());
  return bytes;
}

void BM_Md5Digest(benchmark::State& state) {
  const std::string input = Bytes(static_cast<size_t>(state.range(0)));
  if (input.size() != static_cast<size_t>(state.range(0))) {
    state.SkipWithError("BUGPOST_MD5_INPUT is not 1 MiB");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(Md5Digest(input));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
  state.SetLabel(Md5Digest(input));
}
BENCHMARK(BM_Md5Digest)->Arg(64)->Arg(4 << 10)->Arg(1 << 20);

}  // namespace

BENCHMARK_MAIN();
