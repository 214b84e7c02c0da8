#!/usr/bin/env bash
# The main job: build, start the local reference service, send a sample report to it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build-plain" ""
echo "demo: the sender and the reference service are not built yet."
