#!/usr/bin/env bash
# Builds every layer and its tests, the GUI's included, with clang under
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs them (the GUI
# tests on Qt's offscreen platform).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
  -DCORVANE_BUILD_BENCH=OFF
cmake --build build-san --parallel "$(nproc)"
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions="$PWD/scripts/lsan-system.supp" \
  ctest --test-dir build-san --output-on-failure --parallel "$(nproc)"

# The fuzz targets: built with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# over a core instrumented the same way, seeded with files the program writes itself
# (every track file structure, the old format, saved simulations with their track
# file, a recording, the settings files of every layout, command and indication
# files, Hollin's files), and run for a fixed number of inputs each. The targets that
# read whole files run once more on the patch form of their inputs (a few edits to one
# of the seeds, corpus <name>_patch), which reaches further for the same time.
# scripts/fuzz.sh runs them for a set time instead.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCORVANE_BUILD_FUZZ=ON \
  -DCORVANE_BUILD_GUI=OFF -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF
cmake --build build-fuzz --parallel "$(nproc)"
rm -rf build-fuzz/corpus
build-fuzz/fuzz/make_fuzz_seeds build-fuzz/corpus
fuzz() {  # target, corpus, runs, largest input (above the largest seed)
  UBSAN_OPTIONS=print_stacktrace=1 build-fuzz/fuzz/"$1" -seed=1 -runs="$3" -max_len="$4" \
    -print_final_stats=1 build-fuzz/corpus/"$2"
}
fuzz track_file_fuzz track_file 2000 400000
fuzz engine_fuzz engine 300 200000
fuzz simulation_file_fuzz simulation 2000 32768
fuzz simulation_run_fuzz simulation_run 300 32768
fuzz playback_fuzz playback 2000 400000
fuzz playback_run_fuzz playback_run 1000 400000
fuzz track_file_fuzz track_file_patch 20000 1024
fuzz engine_fuzz engine_patch 5000 1024
fuzz simulation_file_fuzz simulation_patch 20000 1024
fuzz simulation_run_fuzz simulation_run_patch 10000 1024
fuzz playback_fuzz playback_patch 20000 1024
fuzz playback_run_fuzz playback_run_patch 10000 1024
fuzz settings_fuzz settings 3000 32768
fuzz external_io_fuzz external_io 1000 4096
fuzz ctc_indications_fuzz ctc_indications 1000 4096
fuzz hollin_fuzz hollin 2000 4096
fuzz hollin_send_fuzz hollin_send 2000 4096
