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
  # tests: unit tests, a real sound server, encoders and decoders to compare with
  libgtest-dev googletest pulseaudio pulseaudio-utils libasound2-plugins
  sox libsox-fmt-all lame vorbis-tools python3
  # screenshots of the window under a virtual display
  xvfb imagemagick xdotool fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
