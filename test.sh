#!/usr/bin/env bash
# Runs every test: unit and end-to-end tests on the normal build, then the
# unit tests and the whole show again under the address and undefined-
# behaviour sanitizers, the sound layer's tests under the thread sanitizer,
# then a short run of each fuzz harness.
# Ends with the total pass/fail count.
set -uo pipefail
cd "$(dirname "$0")"
bash tools/install-deps.sh || exit 1
bash tools/build.sh build || exit 1
bash tools/build.sh build-asan -DDEMO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug || exit 1
BUILD_TARGETS=sound_tests bash tools/build.sh build-tsan -DDEMO_TSAN=ON -DDEMO_E2E=OFF || exit 1
BUILD_TARGETS=fuzz_harnesses bash tools/build.sh build-fuzz -DDEMO_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DDEMO_E2E=OFF || exit 1

passed=0
failed=0
run_suite() {
  local dir=$1 label=$2 log
  log=$(mktemp)
  (cd "$dir" && ctest --output-on-failure -j2 2>&1) | tee "$log"
  local p f
  p=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' "$log")
  f=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* (\*\*\*|Failed|Exception|Timeout)' "$log")
  echo "$label: $p passed, $f failed"
  passed=$((passed + p))
  failed=$((failed + f))
  rm -f "$log"
}

run_suite build "tests"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 run_suite build-asan "sanitizer unit tests and whole show"
run_suite build-tsan "thread-sanitizer sound tests"
run_suite build-fuzz "fuzz runs"

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
