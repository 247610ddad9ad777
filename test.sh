#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and runs every test: the suite, the core without widgets, the suite
# again under AddressSanitizer and UBSan, the fuzz targets for a minute of
# processor time together, and the Debian package.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/ensure-deps.sh

jobs=$(nproc)
# The tests spend their time waiting on the handset's pauses, not computing:
# twice as many at once as there are cores keeps the cores busy.
test_jobs=$((jobs * 2))
# The core-only build compiles the core with the same flags as the first:
# ccache hands it the first build's objects (paths count from the checkout,
# so the build folder's name does not matter). Only its tests compile again,
# since Qt Test writes their build folder into them.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
fuzz_seconds=${Q7_FUZZ_SECONDS:-60}
passed=0
failed=0

# Builds one tree; the tree's output goes to the caller's output.
build_tree() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null &&
    cmake --build "$dir" -j "$jobs"
}

run_tests() {
  local dir=$1
  local status=0
  ctest --test-dir "$dir" --no-tests=error --output-on-failure -j "$test_jobs" | tee "$dir/ctest.log" ||
    status=$?
  local total run_failed
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$dir/ctest.log")
  run_failed=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed.*/\1/p' "$dir/ctest.log")
  passed=$((passed + ${total:-0} - ${run_failed:-0}))
  failed=$((failed + ${run_failed:-0}))
  # A run that failed without failing a test (none found, ctest itself) counts too.
  if [ "$status" -ne 0 ] && [ "${run_failed:-0}" -eq 0 ]; then
    failed=$((failed + 1))
  fi
}

# The suite mostly waits on the handset's pauses, so the next builds run
# beside it, at the lowest priority: the tests' timing stays theirs. A
# background build writes its log and its result ("ok" or "failed") to files.
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
in_background() {
  local name=$1; shift
  renice -n 19 -p "$BASHPID" >/dev/null
  if "$@" >"$logs/$name.log" 2>&1; then echo ok; else echo failed; fi >"$logs/$name.result"
}
# Waits for a background build, shows its log and counts it; false when it failed.
await() {
  local pid=$1 name=$2 title=$3
  wait "$pid" || true
  echo "== $title" >&2
  cat "$logs/$name.log"
  if [ "$(cat "$logs/$name.result" 2>/dev/null)" = ok ]; then
    return 0
  fi
  failed=$((failed + 1))
  return 1
}

echo "== formatting" >&2
# Every C++ file follows .clang-format; a file that does not fails the run.
if git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror; then
  passed=$((passed + 1))
else
  echo "Unformatted files: run clang-format -i on them" >&2
  failed=$((failed + 1))
fi
# Every source file names its licence.
if missing=$(sh scripts/add-spdx.sh --check); then
  passed=$((passed + 1))
else
  echo "Files without a licence line (run scripts/add-spdx.sh): $missing" >&2
  failed=$((failed + 1))
fi

echo "== tests" >&2
build_tree build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQ7_WERROR=ON

# The core, the command line and their tests build without Qt Widgets: the
# proof that nothing below the window reaches for one.
core_and_asan() {
  build_tree build-core -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQ7_WITH_GUI=OFF -DQ7_WERROR=ON &&
    echo ok >"$logs/core.result" || { echo failed >"$logs/core.result"; }
  build_tree build-asan -DCMAKE_BUILD_TYPE=Debug -DQ7_SANITIZE=ON -DQ7_WERROR=ON
}
in_background builds core_and_asan &
builds=$!
run_tests build
await "$builds" builds "built beside the tests: the core without widgets, the sanitizer build" ||
  { echo "a build beside the tests failed" >&2; exit 1; }
if [ "$(cat "$logs/core.result")" = ok ]; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

# The fuzz targets build while the sanitizer suite runs.
fuzz_build() {
  cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null &&
    cmake --build build-fuzz -j "$jobs"
}
in_background fuzz fuzz_build &
fuzz_builder=$!
echo "== tests with AddressSanitizer and UBSan" >&2
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests build-asan
await "$fuzz_builder" fuzz "the fuzz targets" || { echo "the fuzz targets did not build" >&2; exit 1; }
passed=$((passed + 1))

# The three file parsers are fuzzed side by side and share the fuzz time as
# processor time: on two cores each runs for half of it.
parallel=$(( jobs < 3 ? jobs : 3 ))
fuzz_each=$(( fuzz_seconds / parallel > 0 ? fuzz_seconds / parallel : 1 ))
mkdir -p build-fuzz/findings
start_fuzzer() {
  local target=$1 seeds=$2
  mkdir -p "build-fuzz/$seeds"
  cp -n "fuzz/$seeds"/* "build-fuzz/$seeds/" 2>/dev/null || true
  "./build-fuzz/$target" -max_total_time="$fuzz_each" -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$target-" "build-fuzz/$seeds" \
    >"build-fuzz/$target.log" 2>&1
}
echo "== fuzzing csv, vcard and contacts side by side for ${fuzz_each}s" >&2
fuzzers=(fuzz_csv fuzz_vcard fuzz_contacts)
start_fuzzer fuzz_csv corpus & pids=($!)
start_fuzzer fuzz_vcard corpus-vcard & pids+=($!)
start_fuzzer fuzz_contacts corpus-contacts & pids+=($!)
for i in "${!fuzzers[@]}"; do
  target=${fuzzers[$i]}
  if wait "${pids[$i]}"; then
    echo "${target#fuzz_}:" >&2
    grep -E '^stat::number_of_executed_units|^Done' "build-fuzz/$target.log" >&2 || true
    passed=$((passed + 1))
  else
    tail -n 60 "build-fuzz/$target.log"
    failed=$((failed + 1))
  fi
done

# The package as a user gets it: built from the tested build, unpacked, and
# its own q7ctl run against its own q7sim; lintian must find no error.
check_package() {
  rm -f build/q7manager_*.deb
  (cd build && cpack -G DEB >cpack.log 2>&1) || { cat build/cpack.log; return 1; }
  local deb unpacked sim status=0
  deb=$(ls build/q7manager_*.deb)
  unpacked=$(mktemp -d)
  dpkg-deb -x "$deb" "$unpacked"
  "$unpacked/usr/bin/q7sim" --phonebook sim/demo/phonebook.csv --link "$unpacked/handset" \
    >"$unpacked/q7sim.out" &
  sim=$!
  for _ in $(seq 50); do [ -e "$unpacked/handset" ] && break; sleep 0.1; done
  export XDG_CONFIG_HOME="$unpacked/config"
  local q7ctl="$unpacked/usr/bin/q7ctl"
  "$q7ctl" --help | grep 'convert IN OUT' >/dev/null &&
    "$q7ctl" --device "$unpacked/handset" list | grep 'Oma K' >/dev/null &&
    "$q7ctl" --device "$unpacked/handset" backup "$unpacked/backup.vcf" &&
    "$q7ctl" convert "$unpacked/backup.vcf" "$unpacked/converted.csv" 2>/dev/null &&
    "$q7ctl" convert "$unpacked/converted.csv" "$unpacked/again.vcf" &&
    cmp "$unpacked/backup.vcf" "$unpacked/again.vcf" &&
    [ -s "$unpacked/usr/share/man/man1/q7ctl.1.gz" ] &&
    [ -s "$unpacked/usr/share/man/man1/q7manager.1.gz" ] &&
    [ -s "$unpacked/usr/share/man/man1/q7sim.1.gz" ] &&
    [ -s "$unpacked/usr/share/applications/q7manager.desktop" ] || status=1
  unset XDG_CONFIG_HOME
  kill "$sim" 2>/dev/null || true
  wait "$sim" 2>/dev/null || true
  rm -rf "$unpacked"
  [ $status -eq 0 ] || { echo "the unpacked q7ctl failed against q7sim" >&2; return 1; }
  lintian --fail-on error "$deb" >&2
}

echo "== the Debian package" >&2
if check_package; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

echo "${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
