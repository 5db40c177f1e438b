#!/usr/bin/env bash
# Installs what is needed, builds, and starts a complete demo session:
# feltrix-acquire (the stand-in for the acquisition application, with
# synthetic EEG) in the background, and Feltrix in build/demo/ with the
# bundled init script and its sounds. Closing the Feltrix window ends the
# session and stops the stand-in.
#
#   scripts/run.sh [feltrix options]
#   ACQUIRE_OPTIONS="--seed 7 --eyes 5,15" scripts/run.sh  # options for the companion
#   ACQUIRE_OPTIONS="--osc 5000" scripts/run.sh            # live EEG over OSC (a Muse headband)
#   (EEGSIM_OPTIONS, the old name, still works for a release)
#   QT_QPA_PLATFORM=offscreen scripts/run.sh                # no display: sound only
#   BUILD_DIR=build-mine scripts/run.sh                     # another build folder
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
bash scripts/setup.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only what the session needs; scripts/test.sh builds the rest.
cmake --build "$build" -j "$(nproc)" --target feltrix feltrix-acquire pelgrin32 demo

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  echo "To run headless on Qt's offscreen platform (sound only, no window), use: QT_QPA_PLATFORM=offscreen $0" >&2
  exit 1
fi
if [ "${QT_QPA_PLATFORM:-}" = offscreen ]; then
  # Nobody can see or close a message box offscreen: have them printed to
  # standard error instead (for instance when no sound device is found).
  export FELTRIX_AUTOMATION=${FELTRIX_AUTOMATION:-1}
  echo "run: headless session (offscreen): sound only; Ctrl-C ends it"
fi

cd "$build/demo"
# shellcheck disable=SC2086  # ACQUIRE_OPTIONS is a list of words on purpose
../bin/feltrix-acquire --quiet ${ACQUIRE_OPTIONS:-${EEGSIM_OPTIONS:-}} &
stand_in=$!
stop_stand_in() {
  kill "$stand_in" 2>/dev/null || true
  wait "$stand_in" 2>/dev/null || true
}
trap stop_stand_in EXIT
echo "run: feltrix-acquire is feeding synthetic EEG (pid $stand_in); close the Feltrix window to end the session"

# Feltrix runs as a child the shell waits for, so that Ctrl-C or a TERM sent
# to this script ends it as well; standard input stays Feltrix's own (for
# --passthroughStdin).
../bin/feltrix "$@" <&0 &
feltrix=$!
trap 'kill "$feltrix" 2>/dev/null || true' INT TERM
status=0
while kill -0 "$feltrix" 2>/dev/null; do
  wait "$feltrix" && status=0 || status=$?
done
exit "$status"
