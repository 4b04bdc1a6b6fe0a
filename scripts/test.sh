#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test three times:
# a plain build (warnings are errors), under ThreadSanitizer, and under
# AddressSanitizer with UBSan. MORVANE_QUICK=1 runs the plain build only.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

run_suite() {
  local dir=$1; shift
  echo "=== $dir ===" >&2
  scripts/build.sh "$dir" -DMORVANE_WERROR=ON "$@"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
}

# Further checks that are not CTest suites (fuzzing, cross-compiling), one script each;
# they run first so that the CTest summary closes the output.
for extra in scripts/ci/*.sh; do
  [ -e "$extra" ] || continue
  echo "=== $extra ===" >&2
  bash "$extra"
done

run_suite build-test
if [ "${MORVANE_QUICK:-0}" != 1 ]; then
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    run_suite build-tsan -DMORVANE_SANITIZE=thread -DMORVANE_BENCH=OFF
  ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
    run_suite build-asan "-DMORVANE_SANITIZE=address,undefined" -DMORVANE_BENCH=OFF
fi

