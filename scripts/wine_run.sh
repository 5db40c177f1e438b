#!/usr/bin/env bash
# Runs a cross-built Windows program under wine: the emulator ctest uses in
# the Windows build folder (CMAKE_CROSSCOMPILING_EMULATOR), also handy by hand:
#   scripts/wine_run.sh build-windows/bin/Feltrix.exe
# The wine prefix is WINEPREFIX (default ~/.cache/feltrix-wine/win32), made
# on first use with scripts/wine_prefix.sh. Standard output loses the CRs of
# its CR LF line ends (ctest's test discovery reads the test lists from it).
# The run is bounded by FELTRIX_WINE_TIMEOUT seconds (default 600).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/feltrix-wine/win32}
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/.feltrix-ready" ]; then
  bash "$here/wine_prefix.sh" >&2 || exit 1
fi
out=$(mktemp) err=$(mktemp)
timeout --kill-after=5 "${FELTRIX_WINE_TIMEOUT:-600}" wine "$@" >"$out" 2>"$err"
code=$?
tr -d '\r' <"$out"
cat "$err" >&2
rm -f "$out" "$err"
exit "$code"
