#!/usr/bin/env bash
# Runs every fuzz target for SECONDS from its seeds and its kept corpus, one core
# each, JOBS targets at a time (all at once by default), and prints each target's
# executions per second and findings. Builds the targets first (build-fuzz, as
# scripts/sanitize.sh configures it). The corpus a run grows is kept in
# build-fuzz/kept/<corpus>/ for the next run; findings (crashes, leaks, timeouts,
# out-of-memory inputs) go to build-fuzz/findings/<target>/.
# The targets that read whole track files, saved simulations or recordings run on
# the patch form of their inputs (fuzz/fuzz_patch.h: a few edits to one of the seeds,
# corpus <corpus>_patch), thousands of times faster than on whole files of 150-360 KB;
# FORM=whole runs them on whole files instead, as they were run before.
# Usage: [FORM=whole] scripts/fuzz.sh SECONDS [JOBS]
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ $# -lt 1 || ! "$1" =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh SECONDS [JOBS]" >&2
  exit 2
fi
seconds=$1

# target, corpus, largest input (above the largest seed)
if [[ "${FORM:-patch}" == whole ]]; then
  file_targets=(
    "track_file_fuzz track_file 400000"
    "engine_fuzz engine 200000"
    "simulation_file_fuzz simulation 32768"
    "simulation_run_fuzz simulation_run 32768"
    "playback_fuzz playback 400000"
    "playback_run_fuzz playback_run 400000"
  )
else
  file_targets=(
    "track_file_fuzz track_file_patch 1024"
    "engine_fuzz engine_patch 1024"
    "simulation_file_fuzz simulation_patch 1024"
    "simulation_run_fuzz simulation_run_patch 1024"
    "playback_fuzz playback_patch 1024"
    "playback_run_fuzz playback_run_patch 1024"
  )
fi
targets=(
  "${file_targets[@]}"
  "settings_fuzz settings 32768"
  "external_io_fuzz external_io 4096"
  "ctc_indications_fuzz ctc_indications 4096"
  "hollin_fuzz hollin 4096"
  "hollin_send_fuzz hollin_send 4096"
)
jobs=${2:-${#targets[@]}}

if [[ ! -f build-fuzz/build.ninja ]]; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCORVANE_BUILD_FUZZ=ON \
    -DCORVANE_BUILD_GUI=OFF -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF
fi
cmake --build build-fuzz --parallel "$(nproc)"
rm -rf build-fuzz/corpus
build-fuzz/fuzz/make_fuzz_seeds build-fuzz/corpus
mkdir -p build-fuzz/logs

run_one() {  # target corpus max_len seconds
  local target=$1 corpus=$2 max_len=$3 seconds=$4
  mkdir -p "build-fuzz/kept/$corpus" "build-fuzz/findings/$target"
  # -reload=0: nothing else adds to a target's corpus while it runs, so it is not read again every second.
  UBSAN_OPTIONS=print_stacktrace=1 build-fuzz/fuzz/"$target" -max_total_time="$seconds" -max_len="$max_len" \
    -reload=0 -timeout=60 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target/" \
    "build-fuzz/kept/$corpus" "build-fuzz/corpus/$corpus" >"build-fuzz/logs/$target.log" 2>&1 || true
}
export -f run_one
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -L 1 bash -c 'run_one "$0" "$1" "$2" '"$seconds"

status=0
printf '%-22s %10s %12s %9s\n' target exec/s executions findings
for entry in "${targets[@]}"; do
  read -r target _ _ <<<"$entry"
  log=build-fuzz/logs/$target.log
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  found=$(find "build-fuzz/findings/$target" -type f | wc -l)
  printf '%-22s %10s %12s %9s\n' "$target" "${rate:-?}" "${runs:-?}" "$found"
  if [[ "$found" -gt 0 ]] || grep -q -E '^(==[0-9]+==ERROR|SUMMARY: )' "$log"; then status=1; fi
done
exit $status
