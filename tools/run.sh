#!/usr/bin/env bash
# Installs what is needed, builds the inspector and the bundled stand-in
# kernel (nothing else: no tests, no benchmarks) and starts it.
#
#   bash tools/run.sh [WORKSPACE [more arguments for the program]]
#
# WORKSPACE is the folder the program works in: scripts are opened from it,
# runs are staged in its tmp/, and exports, captures and vrek_ppd.txt are
# written to it. Without one it is workspace/ in the checkout, ignored by
# git and made on the first run as a copy of examples/, so a session leaves
# the checkout as it was.
set -euo pipefail
if [ $# -gt 0 ]; then
  # Taken relative to the folder run.sh was started from.
  workspace=$(cd -- "$1" 2>/dev/null && pwd) || { echo "run.sh: no such folder: $1" >&2; exit 1; }
  shift
fi
cd "$(dirname "$0")/.."
checkout=$PWD
if [ -z "${workspace-}" ]; then
  workspace=$checkout/workspace
  if [ ! -d "$workspace" ]; then
    # Copied aside first, so an interrupted copy is not taken for a workspace.
    rm -rf "$workspace.new"
    cp -R examples "$workspace.new"
    rm -rf "$workspace.new/tmp"
    mv "$workspace.new" "$workspace"
  fi
fi
bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK_BENCH=OFF
cmake --build build/release -j "$(nproc)" --target vrekform vk_kernel
exec "$checkout/build/release/src/app/vrekform" "$checkout/build/release/kernel/vrek" "$workspace/" "$@"
