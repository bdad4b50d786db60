#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: a normal build,
# an AddressSanitizer/UndefinedBehaviorSanitizer build and a ThreadSanitizer
# build of the threaded suites. Window tests run under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
jobs=$(nproc)

export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe NO_AT_BRIDGE=1
xvfb=(xvfb-run -a -s "-screen 0 1280x800x24 -r -nolisten tcp")

run_suite() {  # build-dir, ctest args...
  local dir=$1; shift
  "${xvfb[@]}" ctest --test-dir "$dir" --output-on-failure -j "$jobs" "$@"
}

# No file includes from a layer above its own (README's layout table).
bash tools/check-layers.sh

# The normal build fails on any new compiler warning.
cmake -S . -B build/ci-normal -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVK_WERROR=ON
cmake --build build/ci-normal -j "$jobs"
run_suite build/ci-normal

cmake -S . -B build/ci-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVK_SANITIZE=ON -DVK_BENCH=OFF
cmake --build build/ci-asan -j "$jobs"
# Leak detection on: live_session_window_tests runs the program from start
# to close in a child whose exit status must be 0, so a leak at quit fails.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build/ci-asan
unset ASAN_OPTIONS UBSAN_OPTIONS

cmake -S . -B build/ci-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVK_TSAN=ON -DVK_BENCH=OFF
# Only the threaded suites run here: build just them (each test is named
# after its executable).
mapfile -t threaded < <(ctest --test-dir build/ci-tsan -N -L threads | sed -n 's/^ *Test *#[0-9]*: //p')
cmake --build build/ci-tsan -j "$jobs" --target "${threaded[@]}"
TSAN_OPTIONS=halt_on_error=1 run_suite build/ci-tsan -L 'threads'
