#!/usr/bin/env bash
# Installs what is needed, builds, and starts a Feltrix session in demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found. To run headless (sound only), use: QT_QPA_PLATFORM=offscreen $0" >&2
  exit 1
fi
cd demo
exec ../build/bin/feltrix "$@"
