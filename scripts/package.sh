#!/usr/bin/env bash
# Builds the packages into dist/:
#   Feltrix-setup.exe     the Windows installer (NSIS): Feltrix.exe, PELGRIN32.DLL,
#                         the demo folder and the documentation, Start-menu entry
#                         "Feltrix demo", uninstaller
#   Feltrix-windows.zip   the same files as a zip
#   feltrix_*.deb         the Linux program, library, stand-in and demo as a
#                         Debian package (cpack -G DEB, dependencies from
#                         dpkg-shlibdeps)
# Usage: scripts/package.sh   (installs what it needs through scripts/setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
bash scripts/setup.sh
mkdir -p dist

echo "== Linux: Debian package"
# Only what the package holds is built (not the tests).
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build build -j "$jobs" --target feltrix feltrix-acquire pelgrin32 demo
(cd build && cpack -G DEB)
cp build/packages/feltrix_*.deb dist/

echo "== Windows: installer and zip"
bash scripts/windows_deps.sh i686-w64-mingw32
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFELTRIX_BENCH=OFF >/dev/null
cmake --build build-windows -j "$jobs" --target packages
cp build-windows/Feltrix-setup.exe build-windows/Feltrix-windows.zip dist/
ls -l dist
