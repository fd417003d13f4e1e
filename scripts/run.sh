#!/usr/bin/env bash
# Sets up, builds and starts the simulator on the demonstration territory.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Only the two programs, the demonstration territory and the alert sounds: the tests and benchmarks are test.sh's.
cmake --build build --parallel "$(nproc)" --target corvane3 hollin default_trk alert_sounds
# The settings files ("CV3 option.tds", "CV3 window column.tds") live beside the program.
exec build/shell/corvane3 "$@"
