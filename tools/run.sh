#!/usr/bin/env bash
# Installs what is needed, builds the inspector and starts it on the bundled
# stand-in kernel and the sample workspace in examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK_BENCH=OFF
cmake --build build/release -j "$(nproc)"
if [ -x build/release/src/shell/vrekform ]; then
  exec build/release/src/shell/vrekform "$PWD/build/release/kernel/vrek" "$PWD/examples/" "$@"
fi
echo "Built. The inspector's window arrives with a later change; nothing to start yet."
