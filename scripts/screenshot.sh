#!/usr/bin/env bash
# Takes the README's screenshot of the running demo window: starts a virtual
# display (Xvfb), the EEG stand-in with a fixed seed and Feltrix in the demo
# folder, lets the session run for a few seconds so the meters show live
# values, and writes the window's picture to docs/demo-window.png.
#
#   scripts/screenshot.sh [OUTPUT.png]     (BUILD_DIR=build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-build}
output=${1:-docs/demo-window.png}
settle=${SETTLE_SECONDS:-8}

bash scripts/setup.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target feltrix feltrix-acquire pelgrin32 demo >/dev/null

work=$(mktemp -d /tmp/feltrix-screenshot-XXXXXX)
# A display number nobody uses.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
# The stand-in and Feltrix meet in a shared area of their own, so a session
# running at the same time is not disturbed.
export PELGRIN32_AREA_NAME="feltrix-screenshot-$$"

pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null || true; done
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do wait "${pids[$i]}" 2>/dev/null || true; done
  rm -f "/dev/shm/$PELGRIN32_AREA_NAME"
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=":$display"
for _ in $(seq 1 100); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.1
done

"$build/bin/feltrix-acquire" --quiet --seed 4 >"$work/eegsim.log" 2>&1 &
pids+=($!)

# Message boxes (no sound device, for instance) go to standard error instead
# of waiting for a click.
(cd "$build/demo" && QT_QPA_PLATFORM=xcb FELTRIX_AUTOMATION=1 exec ../bin/feltrix) >"$work/feltrix.log" 2>&1 &
pids+=($!)

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Feltrix$' | head -n 1)
if [ -z "$window" ]; then
  echo "screenshot: the Feltrix window did not appear; its output:" >&2
  cat "$work/feltrix.log" >&2
  exit 1
fi
sleep "$settle"

# The window sits at 0,0 without decorations (no window manager): crop the
# root window's picture to its size.
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$work/shot.png"
mkdir -p "$(dirname "$output")"
cp "$work/shot.png" "$output"
echo "screenshot: wrote $output (${WIDTH}x${HEIGHT})"
