#!/usr/bin/env bash
# The inspector and f3d side by side on the same 999,698 triangles (the
# script below, and our binary PLY export of it for f3d): the same 720 x 480
# window under its own Xvfb, the same camera and the same pointer path,
# taking turns. Prints each round and the medians of orbit rate, open-to-
# drawn time and peak memory with their ratios (inspector / f3d).
#   bash bench/compare/compare.sh [ROUNDS]      (default 5)
# BUILD_DIR names an existing build to use (default build/compare, a
# Release build made here). GRID_SIDE sets the grid's side (default 707:
# 2 x 707 x 707 triangles; 354 gives about 250 k, 1414 about 4 M).
# Open-to-drawn: for the inspector, Enter on the script in the file browser
# until the mesh shows; for f3d, its next-file key from a one-triangle file
# to the PLY until the mesh shows ("shows": a pixel inside the grid takes
# the colour a warm-up run settled on). Orbit: buffer swaps of the program
# during the same four-second drag (right button for the inspector, whose
# camera turns with it; left for f3d), counted by a swap counter preloaded
# into both alike (one swap is one frame, whichever window it lands in).
# Peak memory: the process's VmHWM. Each row ends with the load average
# (1, 5, 15 minutes) read as the run ended. Each round also runs the GL
# probe (gl_probe.cpp) right after the inspector: the same triangles drawn
# the simplest way, the floor for the orbit figure; its row shows its rate.
set -euo pipefail
cd "$(dirname "$0")/../.."
rounds=${1:-5}
side=${GRID_SIDE:-707}
case $side in '' | *[!0-9]*) echo "compare: GRID_SIDE must be a number" >&2; exit 2 ;; esac
build=${BUILD_DIR:-build/compare}

bash tools/install-deps.sh
missing=()
for p in f3d libgl-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK_BENCH=ON >/dev/null
cmake --build "$build" -j 4 --target vrekform vrek compare_export_ply compare_x_watch compare_swap_count compare_gl_probe >/dev/null
inspector=$PWD/$build/src/app/vrekform
kernel=$PWD/$build/kernel/vrek
watch=$PWD/$build/bench/compare/compare_x_watch

work=$(mktemp -d /tmp/vk_compare_XXXXXX)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The loader splits LD_PRELOAD at blanks: the counter goes where none are.
swap_count=$work/swap_count.so
cp "$PWD/$build/bench/compare/libcompare_swap_count.so" "$swap_count"
mkdir -p "$work/ws/tmp"
echo "return grid($side).rgb(0.3, 0.6, 0.9);" > "$work/ws/grid.vrek"
"$PWD/$build/bench/compare/compare_export_ply" "$kernel" "$work/ws/" "$work/ws/grid.vrek" "$work/grid.ply"
rm -rf "$work/ws/tmp" && mkdir -p "$work/ws/tmp"
# f3d starts on this one triangle, off the centre, then steps to the grid.
cat > "$work/a.ply" <<'PLY'
ply
format ascii 1.0
element vertex 3
property float x
property float y
property float z
element face 1
property list uchar int vertex_indices
end_header
-3 -3 0
-2.9 -3 0
-3 -2.9 0
3 0 1 2
PLY

export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe NO_AT_BRIDGE=1
Xvfb -displayfd 3 -screen 0 1280x800x24 -r -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"

# A pixel inside the grid as both programs frame it with this camera.
px=310 py=240

# The drag: 200 steps of 2 pixels, 20 ms apart, from the window's centre
# 40 pixels right, 80 left and 40 right again, twice; small enough that
# the grid stays in view in both programs.
drag_path() {  # window button
  local args=(mousemove --window "$1" 360 240 mousedown "$2")
  local x=360 dx=2
  for i in $(seq 200); do
    x=$((x + dx))
    if [ $((x - 360)) -ge 40 ]; then dx=-2; elif [ $((x - 360)) -le -40 ]; then dx=2; fi
    args+=(mousemove --window "$1" "$x" 240 sleep 0.02)
  done
  args+=(mouseup "$2")
  echo "${args[@]}"
}
peak_mib() { awk '/VmHWM/ {printf "%.0f", $2 / 1024}' "/proc/$1/status"; }
window_of() {  # name pattern
  timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -1
}
field() { sed -n "s/.*$1 \([-0-9.]*\).*/\1/p"; }

# open KEY WINDOW COLOUR: the key that opens the mesh, timed until the grid's
# pixel shows COLOUR; without a colour (the warm-up) it waits and prints
# the colour the pixel settles on.
open_mesh() {
  if [ -z "$3" ]; then
    local before
    before=$("$watch" pixel "$2" "$px" "$py")
    xdotool key "$1"
    sleep 6
    local after
    after=$("$watch" pixel "$2" "$px" "$py")
    [ "$after" != "$before" ] || echo "compare: the mesh did not show (pixel stayed #$after)" >&2
    echo "$after"
  else
    "$watch" match "$2" "$px" "$py" "$3" 30000 -- xdotool key "$1" | field ms
  fi
}

# Each prints "orbit_fps open_ms peak_MiB", or the settled colour when
# called without one.
# After an open, with a colour given: the orbit rate of a drag with this
# button before the open's figures, and the peak memory after them.
orbit_figures() {  # window, button, open's result, [colour]
  local w=$1 button=$2 result=$3
  if [ -n "${4:-}" ]; then
    sleep 1.5
    # shellcheck disable=SC2046
    result="$("$watch" frames "$work/swaps" -- xdotool $(drag_path "$w" "$button") | field fps) $result"
    sleep 0.5
    result="$result $(peak_mib "$app_pid")"
  fi
  echo "$result"
}

run_inspector() {  # [colour]
  : >"$work/swaps"
  LD_PRELOAD=$swap_count VK_SWAP_COUNTER=$work/swaps "$inspector" "$kernel" "$work/ws/" >"$work/inspector.log" 2>&1 &
  app_pid=$!
  local w result
  w=$(window_of '^VREK:EI$')
  sleep 8  # the intro: start-up meshes and entity
  xdotool mousemove --window "$w" 360 240
  sleep 0.3
  xdotool key ctrl+o
  sleep 2
  xdotool key Home  # the script, listed before the staging directory
  sleep 1
  result=$(open_mesh Return "$w" "${1:-}")
  result=$(orbit_figures "$w" 3 "$result" "${1:-}")
  kill "$app_pid"; wait "$app_pid" 2>/dev/null || true; app_pid=""
  rm -rf "$work/ws/tmp" && mkdir -p "$work/ws/tmp"
  echo "$result"
}

run_f3d() {  # [colour]
  : >"$work/swaps"
  LD_PRELOAD=$swap_count VK_SWAP_COUNTER=$work/swaps f3d --resolution 720,480 --camera-position=-1,1,3 --camera-focal-point=0,0,0 --camera-view-up=0,1,0 \
      --camera-view-angle=60 "$work/a.ply" "$work/grid.ply" >"$work/f3d.log" 2>&1 &
  app_pid=$!
  local w result
  w=$(window_of '^F3D')
  sleep 2
  xdotool mousemove --window "$w" 360 240
  result=$(open_mesh Right "$w" "${1:-}")
  result=$(orbit_figures "$w" 1 "$result" "${1:-}")
  kill "$app_pid"; wait "$app_pid" 2>/dev/null || true; app_pid=""
  echo "$result"
}

median() { sort -g | awk '{a[NR] = $1} END {if (NR % 2) print a[(NR + 1) / 2]; else printf "%.3f\n", (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

# A warm-up of each learns the colour the grid shows at the pixel.
inspector_colour=$(run_inspector)
f3d_colour=$(run_f3d)
echo "grid pixel ($px, $py): inspector #$inspector_colour, f3d #$f3d_colour"

printf "%-6s %-10s %12s %12s %10s  %s\n" round program orbit_fps open_ms peak_MiB loadavg
: >"$work/rows"
for r in $(seq "$rounds"); do
  # Alternate which goes first, so neither always meets the same machine.
  if [ $((r % 2)) -eq 1 ]; then order="inspector f3d"; else order="f3d inspector"; fi
  for program in $order; do
    if [ "$program" = inspector ]; then
      read -r fps ms mib < <(run_inspector "$inspector_colour")
    else
      read -r fps ms mib < <(run_f3d "$f3d_colour")
    fi
    printf "%-6s %-10s %12s %12s %10s  %s\n" "$r" "$program" "$fps" "$ms" "$mib" "$(cut -d' ' -f1-3 /proc/loadavg)"
    echo "$r $program $fps $ms $mib" >>"$work/rows"
    if [ "$program" = inspector ]; then
      # The floor, right after the inspector so both meet the same machine:
      # the same triangles drawn the simplest way in the same window.
      probe_ms=$("$PWD/$build/bench/compare/compare_gl_probe" "$work/grid.ply" 40 | field frame_ms)
      printf "%-6s %-10s %12s %12s %10s  %s\n" "$r" probe "$(awk -v m="$probe_ms" 'BEGIN {printf "%.2f", 1000 / m}')" - - \
        "$(cut -d' ' -f1-3 /proc/loadavg)"
      echo "$r $probe_ms $fps" >>"$work/probe"
    fi
  done
done

# Per-round ratios, then their medians.
awk '{v[$1 "," $2 ",fps"] = $3; v[$1 "," $2 ",ms"] = $4; v[$1 "," $2 ",mib"] = $5; n = $1}
     END {for (r = 1; r <= n; ++r) {
            f = v[r ",f3d,fps"]; m = v[r ",f3d,ms"]; b = v[r ",f3d,mib"];
            printf "%s %s %s\n", (f > 0 ? v[r ",inspector,fps"] / f : 0), (m > 0 ? v[r ",inspector,ms"] / m : 0),
                   (b > 0 ? v[r ",inspector,mib"] / b : 0) }}' "$work/rows" >"$work/ratios"
echo
printf "%-22s %12s %12s %12s\n" "median" inspector f3d "ratio"
for k in 3:1:orbit_fps 4:2:open_to_drawn_ms 5:3:peak_MiB; do
  IFS=: read -r col rcol name <<<"$k"
  a=$(awk -v c="$col" '$2 == "inspector" {print $c}' "$work/rows" | median)
  b=$(awk -v c="$col" '$2 == "f3d" {print $c}' "$work/rows" | median)
  q=$(awk -v c="$rcol" '{print $c}' "$work/ratios" | median)
  printf "%-22s %12s %12s %12s\n" "$name" "$a" "$b" "$q"
done
# Orbit frame time over the probe's, per round (1 = at the floor).
echo
printf "%-22s %12s %12s %12s\n" "median" "inspector ms" "probe ms" "ratio"
printf "%-22s %12s %12s %12s\n" orbit_frame_ms "$(awk '{print 1000 / $3}' "$work/probe" | median)" \
  "$(awk '{print $2}' "$work/probe" | median)" "$(awk '{print (1000 / $3) / $2}' "$work/probe" | median)"
