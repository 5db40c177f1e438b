#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Feltrix needs.
# Idempotent: packages already present are skipped, so a second run costs a second.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config clang libclang-rt-14-dev
  # the program's libraries
  libluajit-5.1-dev portaudio19-dev libsamplerate0-dev libmp3lame-dev
  libvorbis-dev libogg-dev qt6-base-dev libgl-dev
  # the EEG stand-in
  libedf-dev libfftw3-dev
  # feltrix-render writes its sound files with libsndfile
  libsndfile1-dev
  # OSC: the companion's live input and the scripts' output (oscpack); the
  # tests' independent OSC senders and receivers (liblo's oscsend, oscdump
  # and its Python module)
  liboscpack-dev liblo-tools python3-liblo
  # tests: unit tests, a real sound server, encoders and decoders to compare with
  libgtest-dev googletest pulseaudio pulseaudio-utils libasound2-plugins
  sox libsox-fmt-all lame vorbis-tools python3
  # benchmarks: the underrun benchmark's load and thread listing
  stress-ng procps
  # the OSC failure test runs the program without network (unshare, ip)
  util-linux iproute2
  # screenshots of the window under a virtual display, another program's window
  xvfb imagemagick xdotool x11-utils fonts-dejavu-core
  # the Windows build: mingw-w64 cross compilers, the tools to build the
  # libraries from Debian's sources (scripts/windows_deps.sh; LuaJIT's build
  # tools are 32-bit), and 32-bit wine to run the tests
  g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686 dpkg-dev make gcc-multilib
  wine wine32:i386 fonts-wine
  # packages: the Windows installer (NSIS)
  nsis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
done

sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
# wine32 is an i386 package.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo_cmd dpkg --add-architecture i386
fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
