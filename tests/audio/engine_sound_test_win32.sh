#!/bin/sh
# Feltrix.exe's sound through wine and PortAudio, recorded from a private null
# sink of the test sound server: a 440 Hz tone at volume 1 is heard on the
# left at panning 0, moves right after a slide to panning 1, and is heard on
# the left again after resetAudio and a new load.
#   usage: engine_sound_test_win32.sh WINE_RUN FELTRIX_EXE
set -eu
wine_run=$1 program=$2
if [ -z "${PULSE_SERVER:-}" ]; then echo "no test sound server (PULSE_SERVER unset): skipped"; exit 0; fi
dir=$(mktemp -d)
sink="feltrix_wine_sound_$$"
module=""
recorder=""
cleanup() {
  [ -n "$recorder" ] && kill "$recorder" 2>/dev/null || true
  [ -n "$module" ] && pactl unload-module "$module" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
module=$(pactl load-module module-null-sink "sink_name=$sink" rate=48000 channels=2 format=float32le norewinds=1)
parecord --raw -d "$sink.monitor" --format=float32le --rate=48000 --channels=2 --latency-msec=20 "$dir/recording.raw" &
recorder=$!
for _ in $(seq 1 200); do [ "$(stat -c %s "$dir/recording.raw" 2>/dev/null || echo 0)" -gt 8192 ] && break; sleep 0.05; done
sox -n -r 48000 -c 1 -b 16 "$dir/tone.wav" synth 1 sine 440 vol 0.5
cat > "$dir/FeltrixInit.lj" <<'LUA'
local function start()
  loadWav("tone.wav")
  slideAudioChannelVolume(0, 1, 0.01)
  slideAudioChannelPanning(0, 0, 0.01)
end
start()
setUpdateInterval(0.05)
local updates = 0
function FeltrixUpdateCallback()
  updates = updates + 1
  if updates == 20 then slideAudioChannelPanning(0, 1, 0.01) end
  if updates == 40 then resetAudio() start() end
  if updates == 60 then exit() end
end
LUA
(cd "$dir" && PULSE_SINK="$sink" FELTRIX_AUTOMATION=1 "$wine_run" "$program")
kill "$recorder"; wait "$recorder" 2>/dev/null || true; recorder=""
python3 - "$dir/recording.raw" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
samples = struct.unpack("<%df" % (len(data) // 4), data[: len(data) // 4 * 4])
frames = len(samples) // 2
rate, amplitude = 48000, 0.5
def first_above(side, start, threshold=0.05):
    for f in range(start, frames):
        if abs(samples[2 * f + side]) > threshold:
            return f
    return None
def peak(side, begin, end):
    return max(abs(samples[2 * f + side]) for f in range(begin, end))
start, failed = 0, False
for name, side, length in (("left at panning 0", 0, rate * 4 // 10),
                           ("right after the slide to panning 1", 1, rate * 3 // 10),
                           ("left again after resetAudio", 0, rate * 2 // 10)):
    onset = first_above(side, start)
    if onset is None or onset + rate // 10 + length > frames:
        print("FAIL: %s: not heard (or the recording ends early)" % name); sys.exit(1)
    begin = onset + rate // 10; end = begin + length
    level, other = peak(side, begin, end), peak(1 - side, begin, end)
    # Wine mixes at its device rate and the sound server resamples again:
    # the level keeps within a few percent.
    ok = abs(level - amplitude) < 0.05 and other < 1e-3
    print("%s %s: level %.4f, other side %.6f, from %.2f s" % ("OK  " if ok else "FAIL", name, level, other, begin / rate))
    failed = failed or not ok
    start = end
sys.exit(1 if failed else 0)
PY
