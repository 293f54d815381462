#!/usr/bin/env bash
# Runs every fuzz harness long: RUNS inputs each (default ten million), two
# harnesses at a time, and prints how many inputs each ran and for how long.
# Findings are written as crash-* files into build-fuzz/findings/<harness>/.
# Usage: bash tools/fuzz-long.sh [RUNS] [harness ...]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10000000}"
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(position_file scripts script_rewrite start_time hud_text character_config capture_options)

BUILD_TARGETS=fuzz_harnesses bash tools/build.sh build-fuzz -DDEMO_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DDEMO_E2E=OFF

run_one() {
  local name=$1 exe=build-fuzz/tests/fuzz/fuzz_$1
  [ -x "$exe" ] || { echo "$name: no harness built"; return; }
  # Absolute paths: the harnesses work in scratch folders of their own.
  local findings=$PWD/build-fuzz/findings/$name corpus=$PWD/build-fuzz/long-corpus/$name log
  mkdir -p "$findings" "$corpus"
  log=$(mktemp)
  local start=$SECONDS
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$exe" -runs="$runs" -max_len=4096 -artifact_prefix="$findings/" -print_final_stats=1 \
    "$corpus" "$PWD/tests/fuzz/corpus/$name" >"$log" 2>&1 && status=ok || status="FINDING (see $findings)"
  local done_runs
  done_runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo "?")
  echo "$name: $done_runs inputs in $((SECONDS - start)) s: $status"
  rm -f "$log"
}

pids=()
for name in "${harnesses[@]}"; do
  run_one "$name" &
  pids+=($!)
  if [ ${#pids[@]} -ge 2 ]; then
    wait "${pids[0]}"
    pids=("${pids[@]:1}")
  fi
done
wait
