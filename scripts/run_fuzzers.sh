#!/usr/bin/env bash
# Runs every fuzz target of a fuzzing build for a bounded time each.
#   scripts/run_fuzzers.sh BUILD_DIR SECONDS
# Seed files are made on the spot with sox, lame and oggenc, and for OSC
# with python3-liblo's message encoder. Fails when a
# target finds a crash, a leak, a hang or an out-of-bounds access; the input
# that caused it is kept under BUILD_DIR/fuzz-artifacts/.
set -euo pipefail
build=${1:?usage: run_fuzzers.sh BUILD_DIR SECONDS}
seconds=${2:?usage: run_fuzzers.sh BUILD_DIR SECONDS}
build=$(cd "$build" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/feltrix-fuzz-XXXXXX)
trap 'rm -rf "$work"' EXIT
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

# Tiny seeds of each format: a few hundredths of a second of sound.
mkdir -p "$work/seeds/wav" "$work/seeds/mp3" "$work/seeds/ogg"
sox -R -n -r 8000 -c 2 -b 16 "$work/seeds/wav/stereo16.wav" synth 0.02 sine 440
sox -R -n -r 8000 -c 1 -b 8 "$work/seeds/wav/mono8.wav" synth 0.02 sine 440
# Every sample form the WAV reader knows: 24 and 32-bit integers under the PCM
# tag (wavpcm) and as extensible PCM, floats under tag 3 and under the PCM tag.
sox -R -n -r 8000 -c 3 -b 32 "$work/seeds/wav/three32.wav" synth 0.01 sine 440
sox -R -n -r 8000 -c 2 -t wavpcm -b 32 -e signed-integer "$work/seeds/wav/stereo32pcm.wav" synth 0.01 sine 440
sox -R -n -r 8000 -c 2 -t wavpcm -b 24 "$work/seeds/wav/stereo24pcm.wav" synth 0.01 sine 440
sox -R -n -r 8000 -c 1 -b 24 "$work/seeds/wav/mono24.wav" synth 0.01 sine 440
sox -R -n -r 8000 -c 2 -b 32 -e floating-point "$work/seeds/wav/float.wav" synth 0.01 sine 440
cp "$work/seeds/wav/float.wav" "$work/seeds/wav/float-pcm-tag.wav"
printf '\001' | dd of="$work/seeds/wav/float-pcm-tag.wav" bs=1 seek=20 conv=notrunc status=none
sox -R -n -r 8000 -c 1 -b 16 "$work/tone.wav" synth 0.1 sine 440
lame --quiet -b 32 "$work/tone.wav" "$work/seeds/mp3/mono.mp3"
sox -R -n -r 8000 -c 2 -b 16 "$work/tone2.wav" synth 0.1 sine 440
lame --quiet -b 32 --resample 8 "$work/tone2.wav" "$work/seeds/mp3/stereo.mp3"
oggenc -Q -q 0 -o "$work/seeds/ogg/mono.ogg" "$work/tone.wav"
oggenc -Q -q 0 -o "$work/seeds/ogg/stereo.ogg" "$work/tone2.wav"
# OSC seeds, encoded here by hand: a Muse sample, band powers (one and four
# values), a blink, a message with an array, and a bundle of two messages.
mkdir -p "$work/seeds/osc"
/usr/bin/python3 - "$work/seeds/osc" <<'PY'
import struct, sys
def text(s):
    b = s.encode() + b"\0"
    return b + bytes(-len(b) % 4)
def message(address, tags, *values):
    body = b"".join(struct.pack(">f", v) if t == "f" else struct.pack(">i", v) if t == "i" else text(v)
                    for t, v in zip(tags.replace("[", "").replace("]", ""), values))
    return text(address) + text("," + tags) + body
seeds = {"eeg": message("/muse/eeg", "fffff", 1.5, -2.0, 3.25, 4.0, 0.5),
         "alpha1": message("/muse/elements/alpha_absolute", "f", 1.2),
         "alpha4": message("/muse/elements/alpha_absolute", "ffff", 1.0, 1.1, 1.2, 1.3),
         "blink": message("/muse/elements/blink", "i", 1),
         "array": message("/dev/raw", "[ff]sis", 1.0, 2.0, "t", 3, "m")}
seeds["bundle"] = b"#bundle\0" + bytes(8) + b"".join(
    struct.pack(">i", len(seeds[n])) + seeds[n] for n in ("eeg", "blink"))
for name, data in seeds.items():
    open("%s/%s" % (sys.argv[1], name), "wb").write(data)
PY

failed=0
passed=0
for kind in wav mp3 ogg osc; do
  target="$build/bin/fuzz_${kind}_reader"
  [ "$kind" = osc ] && target="$build/bin/fuzz_osc_packet_handler"
  name=$(basename "$target")
  if [ ! -x "$target" ]; then
    echo "fuzz: $target missing"
    failed=$((failed + 1))
    continue
  fi
  corpus="$work/corpus-$kind"
  mkdir -p "$corpus"
  echo "== $name for ${seconds}s"
  # Leaks count as failures; a single input may take at most 10 s.
  # Leaks inside libvorbisfile itself are listed in fuzz/lsan_suppressions.txt.
  if ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
     LSAN_OPTIONS=suppressions="$root/fuzz/lsan_suppressions.txt" \
     "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -print_final_stats=1 -artifact_prefix="$artifacts/${kind}-" \
       "$corpus" "$work/seeds/$kind" >"$work/$kind.log" 2>&1; then
    grep -E "^(stat::number_of_executed_units|Done)" "$work/$kind.log" || true
    passed=$((passed + 1))
  else
    tail -n 60 "$work/$kind.log"
    echo "fuzz: $name failed; inputs kept in $artifacts"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
