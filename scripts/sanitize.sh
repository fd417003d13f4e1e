#!/usr/bin/env bash
# Builds the core (store, engine, interface messages) and its tests with
# clang under AddressSanitizer and UndefinedBehaviorSanitizer, and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
  -DCORVANE_BUILD_GUI=OFF -DCORVANE_BUILD_BENCH=OFF
cmake --build build-san --parallel "$(nproc)"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-san --output-on-failure --parallel "$(nproc)"

# The fuzz targets: built with libFuzzer, and run for a bounded number of
# inputs grown from the demonstration territory.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCORVANE_BUILD_FUZZ=ON \
  -DCORVANE_BUILD_GUI=OFF -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF
cmake --build build-fuzz --parallel "$(nproc)" --target track_file_fuzz default_trk
mkdir -p build-fuzz/corpus/track_file
cp build-fuzz/default.trk build-fuzz/corpus/track_file/
build-fuzz/fuzz/track_file_fuzz -seed=1 -runs=1000 -max_len=200000 build-fuzz/corpus/track_file

# The saved simulation and playback readers, from seeds the store writes itself.
cmake --build build-fuzz --parallel "$(nproc)" --target simulation_file_fuzz playback_fuzz
mkdir -p build-fuzz/corpus/simulation build-fuzz/corpus/playback
printf '\x62\x58\x01\x00\xfc\x86\x00\x00\x5d\x95\x00\x00\xae\x08\x00\x00' > build-fuzz/corpus/simulation/magic.ssm
printf '\x0a\x00\x00\x00\x08\x01\x00\x02\x00\x10\x00\x00\x00' > build-fuzz/corpus/playback/oshit.ply
build-fuzz/fuzz/simulation_file_fuzz -seed=1 -runs=1000 -max_len=300000 build-fuzz/corpus/simulation
build-fuzz/fuzz/playback_fuzz -seed=1 -runs=2000 -max_len=20000 build-fuzz/corpus/playback

# Hollin's control file and options file readers, from a few control lines.
cmake --build build-fuzz --parallel "$(nproc)" --target hollin_fuzz
mkdir -p build-fuzz/corpus/hollin
printf 'SWITCH,0001,SW1,10:00:00,REVERSE\nSIGNAL,0002,S1,10:00:00,CLEAR\nBLOCK,0003,B1,10:00:00,OCCUPIED\n' \
  > build-fuzz/corpus/hollin/controls.txt
build-fuzz/fuzz/hollin_fuzz -seed=1 -runs=2000 -max_len=5000 build-fuzz/corpus/hollin
