#!/usr/bin/env bash
# The whole test suite: a plain tree, an AddressSanitizer + UndefinedBehaviorSanitizer tree,
# and a ThreadSanitizer tree for the concurrency tests. Installs what it needs first.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" || exit 1

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan.supp"
mkdir -p "$root/artifacts"
export BUGPOST_ARTIFACTS="$root/artifacts"

status=0
run_tree() { # name sanitizers target ctest-args...
  local name=$1 san=$2 target=$3; shift 3
  echo "== $name: build"
  bash "$root/scripts/build.sh" "$root/build-$name" "$san" "$target" || { echo "== $name: build failed"; status=1; return; }
  echo "== $name: test"
  (cd "$root/build-$name" && ctest --output-on-failure --timeout 600 "$@") || status=1
}

run_tree asan "address,undefined" all -LE nosan
run_tree tsan "thread" tsan_tests -L tsan
# The plain tree runs last, so its closing ctest line is the suite's last word.
run_tree plain "" all
exit $status
