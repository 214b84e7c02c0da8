#!/usr/bin/env bash
# build.sh DIR [SANITIZERS] [TARGET]: configures and builds one tree of the project.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}; san=${2:-}; target=${3:-all}
cmake -S "$root" -B "$dir" -G Ninja -DBUGPOST_SANITIZE="$san" >/dev/null
cmake --build "$dir" --target "$target" -j "$(nproc)"
