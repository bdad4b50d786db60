#!/usr/bin/env bash
# Installs what is needed, builds the inspector and starts it on the bundled
# stand-in kernel and the sample workspace in examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK_BENCH=OFF
cmake --build build/release -j "$(nproc)"
exec build/release/src/app/vrekform "$PWD/build/release/kernel/vrek" "$PWD/examples/" "$@"
