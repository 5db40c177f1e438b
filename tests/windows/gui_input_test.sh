#!/usr/bin/env bash
# Feltrix.exe's window under wine driven with real input (xdotool): Ctrl-C in
# its console; Tab, Shift-Tab and Space through the controls (a check box
# toggled twice, a push button); a slider dragged to its end and a drop-down
# entry picked with the mouse; a screenshot shows the script's rectangles in
# their colours and in depth order; closing the window and File > Exit both
# end the program with exit code 0.
#   usage: gui_input_test.sh FELTRIX_EXE HIDE_CONSOLE_EXE
# (DISPLAY: the X server wine uses; no other window may cover ours).
set -euo pipefail
program=$(realpath "$1") hide_console=$(realpath "$2")
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/feltrix-wine/win32}
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" FELTRIX_AUTOMATION=1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
dir=$(mktemp -d)
cleanup() {
  [ -s "$dir/pid" ] && kill "$(cat "$dir/pid")" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; [ -n "${FELTRIX_FAILURE_SHOT:-}" ] && import -window root "$FELTRIX_FAILURE_SHOT"; echo "--- program output:" >&2; tr -d '\r' < "$dir/out.log" >&2 || true; exit 1; }

# Polls a condition for up to 20 s.
wait_until() {
  local what=$1; shift
  for _ in $(seq 1 400); do "$@" && return 0; sleep 0.05; done
  fail "waited 20 s for $what"
}
said() { tr -d '\r' < "$dir/out.log" | grep -c -x -F -- "$1" || true; }
has_said() { [ "$(said "$1")" -ge "${2:-1}" ]; }
ended() { [ -s "$dir/code" ]; }
ready_or_ended() { has_said ready || ended; }

cp "$here/gui_input_test.lj" "$dir/FeltrixInit.lj"
# Starts the program in the background; its exit code lands in $dir/code.
start() {
  : > "$dir/out.log"
  rm -f "$dir/code" "$dir/pid"
  (
    cd "$dir"
    wine "$program" > "$dir/out.log" 2>&1 &
    echo $! > "$dir/pid"
    code=0
    wait $! || code=$?
    echo "$code" > "$dir/code"
  ) &
  wait_until "the script to be ready" ready_or_ended
  ended && fail "the program ended at start-up"
  window=$(xdotool search --name '^Feltrix$' | head -1)
  [ -n "$window" ] || fail "no window named Feltrix"
  [ "${1:-}" = interrupt ] && interrupt_in_console
  # The console window opened at start-up lies over the main window.
  wait_until "the console to be hidden" hide_the_console
  eval "$(xdotool getwindowgeometry --shell "$window")"
  # The client area's origin: the top-left pixel of the marker rectangle the
  # script paints at client (0, 0).
  wait_until "the marker rectangle" find_origin
}
# Ctrl-C in the console only says how to end the session: the rest of the
# test goes on with the same program (wine cannot send Ctrl-Break).
find_console() { console=$(xdotool search --name 'Feltrix\.exe$' | head -1) && [ -n "$console" ]; }
console_focused() { [ "$(xdotool getwindowfocus)" = "$console" ]; }
interrupt_in_console() {
  wait_until "the console window" find_console
  xdotool windowraise "$console"
  eval "$(xdotool getwindowgeometry --shell "$console")"
  xdotool mousemove $((X + WIDTH - 20)) $((Y + HEIGHT - 20)) click 1
  wait_until "the console to have the focus" console_focused
  xdotool key ctrl+c
  wait_until "Ctrl-C to be ignored" has_said "Ctrl-C does not end Feltrix: use File > Exit or close the main window"
}
# Output of every wine command goes to files: wine's background services,
# started with a session's first program, inherit the descriptors and would
# keep the caller's pipe open.
hide_the_console() { wine "$hide_console" >> "$dir/wine.log" 2>&1; }
find_origin() {
  import -window root "$dir/shot.png" && convert "$dir/shot.png" "$dir/shot.ppm" || return 1
  origin=$(python3 "$here/screen_pixels.py" "$dir/shot.ppm" find ff00ff) || return 1
  read -r ox oy <<<"$origin"
}
pixel() { python3 "$here/screen_pixels.py" "$dir/shot.ppm" at $((ox + $1)) $((oy + $2)); }
click() { xdotool mousemove $((ox + $1)) $((oy + $2)) click 1; }
exit_code() { cat "$dir/code"; }
# The opened list of the drop-down: its selected first entry is the first run
# of the highlight colour below the closed control; gives its top and height.
list_open() {
  find_origin || return 1
  read -r list_top row < <(python3 "$here/screen_pixels.py" "$dir/shot.ppm" rows $((ox + 260)) $((oy + 60)) \
    $((oy + 200)) | awk -v oy="$oy" -v c="$highlight" '$2 == c { if (!top) top = $1; n++; next } top { exit }
      END { if (top) print top - oy, n; else exit 1 }') || return 1
  [ "$row" -ge 8 ]
}

start interrupt
# Rectangles: red (depth 2) over green (depth 1) although green came later;
# of two at equal depth the later one (blue) is on top; the hidden one (black)
# is not painted.
for check in "320 20 ff0000 red alone" "355 55 ff0000 red over green (higher depth)" \
             "395 95 00ff00 green alone" "420 30 0000ff blue over yellow (same depth, later)" \
             "405 15 ffff00 yellow alone" "310 120 $(pixel 300 150) hidden rectangle not painted"; do
  read -r x y colour what <<<"$check"
  got=$(pixel "$x" "$y")
  [ "$got" = "$colour" ] || fail "pixel ($x, $y) is $got, expected $colour: $what"
done

# The keyboard: Tab and Shift-Tab go through the controls in creation order
# (check box, button, slider, list, round again; the label is skipped), Space
# clicks the focused check box or button, Enter and Escape do nothing.
xdotool windowfocus "$window"
xdotool key Tab space; wait_until "Space on the check box" has_said "gui 1025 true"
xdotool key Tab Return Escape space; wait_until "Space on the button" has_said "gui 1026"
xdotool key Tab Right; wait_until "Right on the slider" has_said "gui 1027 251" 2
[ "$(said "gui 1026")" = 1 ] || fail "Enter or Escape pressed the focused button"
xdotool key Tab Down; wait_until "Down on the list" has_said "gui 1028 Wind"
xdotool key Tab space; wait_until "Tab round to the check box" has_said "gui 1025 false"
xdotool key shift+Tab Up; wait_until "Shift-Tab back to the list" has_said "gui 1028 Rain"
xdotool key shift+Tab Left; wait_until "Shift-Tab back to the slider" has_said "gui 1027 250" 2
# Away to another program's window and back: the slider has the focus again.
xmessage -name other "another program" &
other_pid=$!
find_other() { other=$(xdotool search --classname '^other$' | head -1) && [ -n "$other" ]; }
wait_until "the other program's window" find_other
xdotool windowfocus "$other"
wait_until "the other window to have the focus" eval '[ "$(xdotool getwindowfocus)" = "$other" ]'
click 300 150  # the window's background
xdotool key Right
kill "$other_pid"
wait_until "Right on the slider after switching windows" has_said "gui 1027 251" 4

# Slider at (10, 80), thumb at 250: drag it past the right end.
xdotool mousemove $((ox + 10 + 8 + 33)) $((oy + 80 + 10)) mousedown 1
for x in 70 100 130 160 200; do xdotool mousemove $((ox + x)) $((oy + 90)); done
xdotool mouseup 1
wait_until "the slider's end of drag" has_said "gui 1027 1000" 2
# Every slider report lies in 0..1000.
tr -d '\r' < "$dir/out.log" | awk '$1 == "gui" && $2 == 1027 && ($3 < 0 || $3 > 1000) { exit 1 }' ||
  fail "slider position outside 0..1000"
# Drop-down list at (200, 40), "Rain" selected: open it and pick "Snow".
highlight=3096fa
click 260 50
wait_until "the list to open" list_open
click 260 $((list_top + 5 * row / 2))
wait_until "the pick" has_said "gui 1028 Snow"
# Closing the window with the close button at the right end of its title
# bar: WM_DESTROY ends the message loop, exit code 0.
xdotool mousemove $((X + WIDTH - 13)) $((Y + 12)) click 1
wait_until "the program to end after closing" ended
[ "$(exit_code)" = 0 ] || fail "closing the window did not end with exit code 0"

# File > Exit ends the program at once with exit code 0.
start
xdotool mousemove $((ox + 15)) $((oy - 10)) click 1
xdotool key Up Return
wait_until "the program to end after File > Exit" ended
[ "$(exit_code)" = 0 ] || fail "File > Exit did not end with exit code 0"
echo "window input under wine: all checks passed"
