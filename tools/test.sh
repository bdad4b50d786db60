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

# The normal build runs from a copy of the checkout at a path of at least
# 200 characters with blanks in several folder names, as many users' clones
# live in deep folders like "/home/NAME/My Projects/...": a test, script or
# build rule that breaks on such a path fails here. The copy is taken from
# the working tree (tracked and untracked files, not the ignored ones), so
# uncommitted changes are tested too; a clone would miss them. Files keep
# their times, so the build in the copy stays incremental.
deep="$PWD/build/deep checkout/My Projects/mesh tools"
while [ ${#deep} -lt 182 ]; do deep+="/one level deeper"; done
deep+="/vrekform checkout"
mkdir -p "$deep"
find "$deep" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf - | tar -xpf - -C "$deep"
else
  tar --exclude=./build --exclude=./.git -cf - . | tar -xpf - -C "$deep"
fi

# The normal build fails on any new compiler warning.
normal=$deep/build/ci-normal
cmake -S "$deep" -B "$normal" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVK_WERROR=ON
cmake --build "$normal" -j "$jobs"
# Tests remove what they create and write only below test-output/: a path
# split at a blank (a command line built from it) leaves strays named after
# its words, in the test's folder or beside the deep path. Any new path in
# the copy, or a piece of the deep path cut at a blank, fails the run.
listing=$(mktemp -d)
trap 'rm -rf "$listing"' EXIT
list_copy() {
  find "$deep" \( -path "$normal/test-output" -o -path "$normal/Testing" \) -prune -o -print | LC_ALL=C sort
}
list_copy > "$listing/before"
run_suite "$normal"
list_copy | LC_ALL=C comm -13 "$listing/before" - > "$listing/strays"
rest=$deep
while [[ $rest == *" "* ]]; do
  rest=${rest% *}
  if [ -e "$rest" ]; then echo "$rest" >> "$listing/strays"; fi
done
if [ -s "$listing/strays" ]; then
  echo "Left behind by the tests:" >&2
  cat "$listing/strays" >&2
  exit 1
fi

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
