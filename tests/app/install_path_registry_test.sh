#!/bin/sh
# Feltrix.exe records its path as "InstallPath" under
# HKCU\Software\Brosvane\Feltrix, read back with wine's own reg tool.
#   usage: install_path_registry_test.sh WINE_RUN FELTRIX_EXE
set -eu
wine_run=$1 program=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf 'exit()\n' > "$dir/FeltrixInit.lj"
"$wine_run" reg delete 'HKCU\Software\Brosvane\Feltrix' /f >/dev/null 2>&1 || true
(cd "$dir" && FELTRIX_AUTOMATION=1 "$wine_run" "$program" >/dev/null)
answer=$("$wine_run" reg query 'HKCU\Software\Brosvane\Feltrix' /v InstallPath)
printf '%s\n' "$answer"
expected=$("$wine_run" winepath -w "$program")
printf '%s\n' "$answer" | grep -F "REG_SZ" | grep -qiF "$expected" || { echo "FAIL: expected $expected"; exit 1; }
echo "OK"
