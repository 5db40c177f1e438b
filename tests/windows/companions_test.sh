#!/bin/sh
# feltrix-acquire.exe and feltrix-render.exe together under wine: the stand-in
# records 3 s of synthetic EEG as fast as it can (LF line ends, one row per
# update), and feltrix-render plays the demo against that recording into
# 2-second WAV (float) and FLAC (16-bit) files that are not silent. Every
# file (the recording, a copy of the demo, the sound files) lives in a folder
# named in three scripts: the programs take their arguments in UTF-8 from the
# wide command line.
#   usage: companions_test.sh WINE_RUN EEGSIM_EXE RENDER_EXE DEMO_SCRIPT
set -eu
wine_run=$1 eegsim=$2 render=$3 demo=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# Wine hands the programs these names as the locale spells them.
export LC_ALL=C.UTF-8
mkdir "$dir/Müller 测试 José"
cd "$dir/Müller 测试 José"
here=$(pwd)
cp -r "$(dirname "$demo")" demo
demo="$here/demo/$(basename "$demo")"
fail() { echo "FAILED: $*" >&2; exit 1; }
export PELGRIN32_AREA_NAME="feltrix-companions-test-$$"

"$wine_run" "$eegsim" --record "$here/session.csv" --duration 3 --speed 0 >eegsim.out || fail "the stand-in failed"
grep -q "finished after 96 updates" eegsim.out || fail "the stand-in said: $(cat eegsim.out)"
[ "$(wc -l <session.csv)" = 97 ] || fail "session.csv has $(wc -l <session.csv) lines, not a header and 96 rows"
if grep -q "$(printf '\r')" session.csv; then fail "session.csv has CR LF line ends"; fi

for out in session.wav session.flac; do
  "$wine_run" "$render" --script "$demo" --replay "$here/session.csv" --seconds 2 --out "$here/$out" >/dev/null \
    || fail "feltrix-render failed on $out"
  info="$(soxi -D "$out" 2>/dev/null) $(soxi -r "$out" 2>/dev/null) $(soxi -e "$out" 2>/dev/null)"
  case $out in
    *.wav) expected="2.000000 48000 Floating Point PCM" ;;
    *) expected="2.000000 48000 FLAC" ;;
  esac
  [ "$info" = "$expected" ] || fail "$out is '$info', not '$expected'"
  peak=$(sox "$out" -n stat 2>&1 | awk '/^Maximum amplitude/ { print $3 }')
  awk -v p="$peak" 'BEGIN { exit !(p > 0.05) }' || fail "$out is silent (peak $peak)"
done
echo "recorded 96 updates; rendered 2 s to WAV and FLAC"
