#!/usr/bin/env bash
# Sets up, builds and starts the simulator on the demonstration territory.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)"
if [ ! -x build/shell/corvane3 ]; then
  echo "corvane3: the simulator's window is not yet available in this build."
  exit 0
fi
exec build/shell/corvane3 "$@"
