#!/usr/bin/env bash
# Sets up, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure --parallel "$(nproc)"
