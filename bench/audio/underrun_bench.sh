#!/usr/bin/env bash
# Underruns of a demo session, measured the same way every time: Feltrix
# (offscreen) plays the demo beside the stand-in feltrix-eegsim on a private
# sound server for SECONDS (default 300) while `stress-ng --cpu 2` keeps both
# cores busy (--no-load: without it). Reports the engine's own count (its
# closing console line), the ALSA library's "underrun occurred" lines (the
# host's count, which builds that do not count report too), whether the audio
# thread got real-time scheduling, and the load average.
#
#   bench/audio/underrun_bench.sh [--no-load] [BUILD_DIR] [SECONDS]
set -euo pipefail
load=1
if [ "${1:-}" = "--no-load" ]; then load=0; shift; fi
build=$(cd "${1:-build}" && pwd)
seconds=${2:-300}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/feltrix-underruns-XXXXXX)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  bash "$root/scripts/sound_server.sh" stop "$work/sound"
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=scripts/sound_server.sh
source "$root/scripts/sound_server.sh" start "$work/sound" >/dev/null
export PELGRIN32_AREA_NAME=/feltrix-underrun-bench-$$ QT_QPA_PLATFORM=offscreen FELTRIX_AUTOMATION=1

# The demo, ended by its own script when a line arrives on standard input.
cp -r "$build/demo" "$work/demo"
cat >> "$work/demo/FeltrixInit.lj" <<'EOF'
function FeltrixReceiveDemoMessageCallback() exit() end
EOF
mkfifo "$work/stdin"

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bin/feltrix-eegsim" >/dev/null 2>&1 &
pids+=($!)
if [ "$load" = 1 ]; then
  stress-ng --cpu 2 --timeout $((seconds + 60))s >/dev/null 2>&1 &
  pids+=($!)
fi
(cd "$work/demo" && exec "$build/bin/feltrix" --passthroughStdin <"$work/stdin" >"$work/out.txt" 2>"$work/err.txt") &
feltrix=$!
pids+=("$feltrix")
exec 3>"$work/stdin"
sleep $((seconds / 2))
realtime=$(ps -L -o cls= -p "$feltrix" | grep -c -E "FF|RR" || true)
sleep $((seconds - seconds / 2))
echo stop >&3
for _ in $(seq 1 100); do kill -0 "$feltrix" 2>/dev/null || break; sleep 0.1; done
exec 3>&-
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"

alsa=$(grep -c "underrun occurred" "$work/err.txt" || true)
if grep -q "ran out of sound" "$build/bin/feltrix"; then
  engine=$(sed -n 's/.*ran out of sound \([0-9]*\) times.*/\1/p' "$work/out.txt")
  engine=${engine:-0}
else
  engine="not counted by this build"
fi
echo "demo session of $seconds s, $([ "$load" = 1 ] && echo "under stress-ng --cpu 2" || echo "without load"), build $build"
echo "  threads at real-time priority: $realtime"
echo "  underruns (engine):            $engine"
echo "  underruns (ALSA messages):     $alsa"
grep "^Sound output:" "$work/out.txt" | grep -v "ran out of sound" || true
