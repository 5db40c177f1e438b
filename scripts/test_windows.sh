#!/usr/bin/env bash
# The Windows stage: cross-builds Feltrix.exe, PELGRIN32.DLL and the tests for
# 32-bit Windows (build-windows/) and runs the tests under wine.
#   - checks first that wine really runs a 32-bit Windows program (a wine
#     without its 32-bit part "runs" them without output and exit code 0);
#   - builds the libraries from Debian's sources once (scripts/windows_deps.sh,
#     cached in ~/.cache/feltrix-windows-deps), then the program and tests;
#   - runs ctest (each test program under wine) beside a private Xvfb, and
#     the sound server of the caller if one is running (PULSE_SERVER);
#   - stops its Xvfb and wineserver whatever happens.
# Run by scripts/test.sh; on its own: scripts/test_windows.sh (after
# scripts/setup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
started=$SECONDS

work=$(mktemp -d /tmp/feltrix-windows-XXXXXX)
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/feltrix-wine/win32}
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
cleanup() {
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display for wine before its first command: a wine server started without
# one keeps a display-less desktop.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "windows stage: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"

bash scripts/wine_prefix.sh
wineserver -p  # stays up between the tests' wine commands: fast starts

echo "== Windows: does wine run 32-bit Windows programs?"
cat > "$work/hello.c" <<'C'
#include <stdio.h>
int main(void) { printf("32-bit Windows program runs (%d-bit pointers)\n", (int)(8 * sizeof(void*))); return 7; }
C
i686-w64-mingw32-gcc -O2 -o "$work/hello.exe" "$work/hello.c"
# Output through a file: wine's background processes inherit it (a pipe
# would never see its end).
set +e
timeout 60 wine "$work/hello.exe" >"$work/hello.out" 2>&1
code=$?
set -e
hello=$(tr -d '\r' <"$work/hello.out")
if [ "$code" != 7 ] || [ "$hello" != "32-bit Windows program runs (32-bit pointers)" ]; then
  echo "windows stage: FAILED: wine did not run a 32-bit Windows program (exit code $code, output: '$hello')." >&2
  echo "  Install wine32:i386 (scripts/setup.sh does: dpkg --add-architecture i386; apt-get install wine wine32:i386)." >&2
  exit 1
fi
echo "$hello"

echo "== Windows: libraries from Debian's sources"
bash scripts/windows_deps.sh i686-w64-mingw32

echo "== Windows: build"
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFELTRIX_BENCH=OFF >/dev/null
cmake --build build-windows -j "$jobs"

echo "== Windows: tests under wine"
(cd build-windows && ctest --output-on-failure -j 2 --timeout 300)
echo "Windows stage took $((SECONDS - started)) s"
