#!/usr/bin/env bash
# Md5Digest against md5sum on the same 1 MiB file, in one run: MiB/s of each and their ratio.
# Also prints the 64 B and 4 KiB figures of the Google Benchmark.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUGPOST_BENCH_BUILD:-$root/build-plain}
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$build" "" md5_bench >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c 1048576 /dev/urandom >"$work/input.bin"

BUGPOST_MD5_INPUT="$work/input.bin" "$build/bench/md5_bench" --benchmark_format=csv \
  --benchmark_min_time=0.5 2>/dev/null >"$work/bench.csv"
expected=$(md5sum "$work/input.bin" | cut -c1-32)
got=$(awk -F, '/^"BM_Md5Digest\/1048576"/ { gsub(/"/, "", $8); print $8 }' "$work/bench.csv")
if [ "$got" != "$expected" ]; then
  echo "md5 bench: Md5Digest gives '$got', md5sum $expected" >&2
  exit 1
fi
echo "Md5Digest (Google Benchmark):"
awk -F, '/^"BM_Md5Digest/ { gsub(/"/, "", $1); printf "  %-22s %10.1f MiB/s\n", $1, $6 / 1048576 }' "$work/bench.csv"
ours=$(awk -F, '/^"BM_Md5Digest\/1048576"/ { printf "%.1f", $6 / 1048576 }' "$work/bench.csv")

# md5sum hashes the same file many times in one process, so start-up cost stays out of it.
rounds=200
files=()
for _ in $(seq $rounds); do files+=("$work/input.bin"); done
md5sum "$work/input.bin" >/dev/null  # warm the page cache
start=$(date +%s%N)
md5sum "${files[@]}" >/dev/null
end=$(date +%s%N)
theirs=$(awk -v r=$rounds -v ns=$((end - start)) 'BEGIN { printf "%.1f", r / (ns / 1e9) }')

echo "same 1 MiB file ($expected):"
printf "  %-22s %10s MiB/s\n" "Md5Digest" "$ours" "md5sum x$rounds" "$theirs"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "  ratio Md5Digest / md5sum: %.2f\n", a / b }'
