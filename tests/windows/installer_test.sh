#!/usr/bin/env bash
# The Windows installer under wine: a silent install (/S) puts the program,
# the interface library, the stand-in, feltrix-render, the demo launcher, the
# demo folder, the uninstaller and the Start-menu entry "Feltrix demo" in
# place; the entry starts the stand-in and the demo, whose sound is recorded
# from a null sink of the test sound server (when there is one); closing the
# window ends the demo and the stand-in with it; the silent uninstaller then
# leaves no file, no Start-menu entry and no registry key behind.
#   usage: installer_test.sh FELTRIX_SETUP_EXE HIDE_CONSOLE_EXE
set -euo pipefail
installer=$(realpath "$1") hide_console=$(realpath "$2")
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/feltrix-wine/win32}
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" FELTRIX_AUTOMATION=1
dir=$(mktemp -d)
target='C:\FeltrixInstallTest'
unix_target="$WINEPREFIX/drive_c/FeltrixInstallTest"
module="" recorder=""
cleanup() {
  [ -s "$dir/pid" ] && kill "$(cat "$dir/pid")" 2>/dev/null || true
  [ -n "$recorder" ] && kill "$recorder" 2>/dev/null || true
  [ -n "$module" ] && pactl unload-module "$module" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
wait_until() {
  local what=$1; shift
  for _ in $(seq 1 400); do "$@" && return 0; sleep 0.05; done
  fail "waited 20 s for $what"
}

rm -rf "$unix_target"
# Output of every wine command goes to files: wine's background services,
# started with a session's first program, inherit the descriptors and would
# keep the caller's pipe open.
timeout 120 wine "$installer" /S "/D=$target" >> "$dir/wine.log" 2>&1 || fail "the silent install failed"
for file in Feltrix.exe PELGRIN32.DLL feltrix-acquire.exe feltrix-eegsim.exe feltrix-render.exe feltrix-demo.exe Uninstall.exe \
            README.md demo/FeltrixInit.lj demo/sounds/calm_pad.ogg demo/examples/minimal.lua docs/scripting.md; do
  [ -f "$unix_target/$file" ] || fail "$file was not installed"
done
shortcut=$(find "$WINEPREFIX/drive_c" -name 'Feltrix demo.lnk' | head -1)
[ -n "$shortcut" ] || fail "no Start-menu entry \"Feltrix demo\""
relative=${shortcut#"$WINEPREFIX/drive_c/"}
windows_shortcut="C:\\${relative//\//\\}"

# The demo from its Start-menu entry, its sound recorded when a sound server
# is there.
if [ -n "${PULSE_SERVER:-}" ]; then
  sink="feltrix_installer_$$"
  module=$(pactl load-module module-null-sink "sink_name=$sink" rate=48000 channels=2 format=float32le)
  parecord --raw -d "$sink.monitor" --format=float32le --rate=48000 --channels=2 "$dir/sound.raw" &
  recorder=$!
  export PULSE_SINK=$sink
fi
(
  wine start /wait "$windows_shortcut" > "$dir/out.log" 2>&1 &
  echo $! > "$dir/pid"
  code=0
  wait $! || code=$?
  echo "$code" > "$dir/code"
) &
has_window() { [ -n "$(xdotool search --name '^Feltrix$' 2>/dev/null)" ]; }
wait_until "the demo's window" has_window
# wine's processes carry their Windows command line.
stand_in_running() { pgrep -f 'FeltrixInstallTest.feltrix-acquire\.exe' >/dev/null; }
stand_in_running || fail "the Start-menu entry did not start feltrix-acquire.exe"
if [ -n "$recorder" ]; then
  heard() {
    python3 - "$dir/sound.raw" <<'PY'
import array, sys
data = open(sys.argv[1], "rb").read()
samples = array.array("f", data[: len(data) // 4 * 4])
sys.exit(0 if samples and max(abs(s) for s in samples) > 0.01 else 1)
PY
  }
  wait_until "the demo's sound" heard
  echo "the demo is heard"
fi
# Close the window with its close button (the console lies over it).
hide_the_console() { wine "$hide_console" >> "$dir/wine.log" 2>&1; }
wait_until "the console to be hidden" hide_the_console
window=$(xdotool search --name '^Feltrix$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + WIDTH - 13)) $((Y + 12)) click 1
ended() { [ -s "$dir/code" ]; }
wait_until "the demo to end" ended
[ "$(cat "$dir/code")" = 0 ] || fail "the demo ended with exit code $(cat "$dir/code")"
stand_in_gone() { ! stand_in_running; }
wait_until "feltrix-acquire.exe to end with the demo" stand_in_gone

# The uninstaller runs from a copy of itself and returns at once: wait for
# the folder to go.
timeout 120 wine "$target\\Uninstall.exe" /S >> "$dir/wine.log" 2>&1 || fail "the silent uninstall failed"
gone() { [ ! -e "$unix_target" ] && [ ! -e "$shortcut" ] && [ ! -e "$(dirname "$shortcut")" ]; }
wait_until "the uninstaller to remove everything" gone
for key in 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Feltrix' 'HKCU\Software\Brosvane\Feltrix'; do
  if wine reg query "$key" >> "$dir/wine.log" 2>&1; then fail "registry key $key is left"; fi
done
echo "installer under wine: install, demo, uninstall all checked"
