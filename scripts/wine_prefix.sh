#!/usr/bin/env bash
# Prepares the 32-bit wine prefix the Windows tests run in (WINEPREFIX,
# default ~/.cache/feltrix-wine/win32): wineboot, no Gecko/Mono prompts, no
# 2-second wait per destroyed window without a window manager. Idempotent;
# concurrent callers wait for the first. Export DISPLAY first when there is
# one: a wine server started without it keeps a display-less desktop.
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/feltrix-wine/win32}
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.feltrix-ready" ] && exit 0
rm -rf "$WINEPREFIX"
timeout 120 wineboot --init >/dev/null 2>&1
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
timeout 60 wineserver -w || true
touch "$WINEPREFIX/.feltrix-ready"
