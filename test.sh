#!/usr/bin/env bash
# Builds and runs every test: the suite, the suite again under AddressSanitizer
# and UBSan, and the fuzz target for a minute.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/ensure-deps.sh

jobs=$(nproc)
fuzz_seconds=${Q7_FUZZ_SECONDS:-60}
passed=0
failed=0

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  local status=0
  ctest --test-dir "$dir" --no-tests=error --output-on-failure -j "$jobs" | tee "$dir/ctest.log" ||
    status=$?
  local total run_failed
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$dir/ctest.log")
  run_failed=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed.*/\1/p' "$dir/ctest.log")
  passed=$((passed + ${total:-0} - ${run_failed:-0}))
  failed=$((failed + ${run_failed:-0}))
  return $status
}

echo "== formatting" >&2
# Every C++ file follows .clang-format; a file that does not fails the run.
if git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror; then
  passed=$((passed + 1))
else
  echo "Unformatted files: run clang-format -i on them" >&2
  failed=$((failed + 1))
fi

echo "== tests" >&2
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== tests with AddressSanitizer and UBSan" >&2
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DQ7_SANITIZE=ON

echo "== fuzzing the phonebook file for ${fuzz_seconds}s" >&2
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j "$jobs"
mkdir -p build-fuzz/corpus build-fuzz/findings
cp -n fuzz/corpus/* build-fuzz/corpus/ 2>/dev/null || true
if ./build-fuzz/fuzz_csv -max_total_time="$fuzz_seconds" -print_final_stats=1 \
     -artifact_prefix=build-fuzz/findings/ build-fuzz/corpus >build-fuzz/fuzz.log 2>&1; then
  grep -E '^stat::number_of_executed_units|^Done' build-fuzz/fuzz.log >&2 || true
  passed=$((passed + 1))
else
  tail -n 60 build-fuzz/fuzz.log
  failed=$((failed + 1))
fi

echo "${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
