#!/usr/bin/env bash
# Cross-build the program's third-party libraries for Windows with mingw-w64 on
# Debian 12, from Debian's own source packages. All libraries are static (.a).
#
#   usage: scripts/windows_deps.sh [TRIPLE [PREFIX]]
#     TRIPLE: i686-w64-mingw32 (32-bit, the default and the build the project
#             ships) or x86_64-w64-mingw32 (64-bit)
#     PREFIX: install prefix, default ~/.cache/feltrix-windows-deps/TRIPLE
#             (where cmake/toolchain-i686-w64-mingw32.cmake looks); gets
#             include/, lib/, lib/pkgconfig/, share/toolchain-TRIPLE.cmake and
#             .stamps/ (one per library)
#   env: WORK (sources and build trees, default PREFIX/.work), JOBS (default 2),
#        NO_APT=1 (do not install packages / add the deb-src entry)
#
# Idempotent: a library whose stamp exists is skipped (a second run costs
# seconds); delete PREFIX/.stamps/NAME
# to rebuild one. Builds: LuaJIT (Lua 5.1 API), PortAudio (MME, DirectSound,
# WASAPI), libsamplerate, libmp3lame (with the hip decoder), libogg, libvorbis,
# libvorbisfile; for the stand-in FFTW 3 (double precision) and edflib; for
# feltrix-render libsndfile with FLAC, Vorbis and Opus (libFLAC and libopus
# built here too: libsndfile takes the Xiph codecs all together or not at all);
# oscpack for OSC input and output.
# Ends with a link test of all of them.
set -euo pipefail

HOST=${1:-i686-w64-mingw32}
PREFIX=${2:-${FELTRIX_WINDOWS_DEPS:-$HOME/.cache/feltrix-windows-deps/$HOST}}
case $HOST in
  i686-w64-mingw32) CPU=i686; LJ_HOST_CC="gcc -m32"; DEB_ARCH=i686 ;;
  x86_64-w64-mingw32) CPU=x86_64; LJ_HOST_CC="gcc"; DEB_ARCH=x86-64 ;;
  *) echo "unsupported triple $HOST" >&2; exit 2 ;;
esac
mkdir -p "$PREFIX"
PREFIX=$(cd "$PREFIX" && pwd)
WORK=${WORK:-$PREFIX/.work}
JOBS=${JOBS:-2}
SRC=$WORK/src
BLD=$WORK/build-$HOST
STAMPS=$PREFIX/.stamps
mkdir -p "$SRC" "$BLD" "$STAMPS" "$PREFIX/include" "$PREFIX/lib/pkgconfig" "$PREFIX/share"

log() { printf '[windows-deps %s] %s\n' "$(date +%T)" "$*" >&2; }
timed() { # timed NAME CMD... : runs CMD, prints its wall time
  local name=$1 t0=$SECONDS; shift
  "$@"; log "$name took $((SECONDS - t0)) s"
}

# ---------------------------------------------------------------- packages
ensure_packages() {
  [ "${NO_APT:-0}" = 1 ] && return 0
  local pkgs=("g++-mingw-w64-$DEB_ARCH" mingw-w64-tools dpkg-dev cmake make pkg-config)
  [ "$CPU" = i686 ] && pkgs+=(gcc-multilib)   # LuaJIT's host tools must be 32-bit too
  local missing=()
  for p in "${pkgs[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
  local update=0
  # deb-src entries: copy the existing deb822 'deb' stanzas as 'deb-src'
  if ! apt-cache showsrc libogg 2>/dev/null | grep -q '^Package: libogg'; then
    local f=/etc/apt/sources.list.d/debian.sources
    [ -f "$f" ] || { echo "no deb-src entry and no $f to copy" >&2; exit 1; }
    sed 's/^Types: deb$/Types: deb-src/' "$f" > /etc/apt/sources.list.d/debian-src.sources
    update=1
  fi
  [ ${#missing[@]} -gt 0 ] && update=1
  if [ $update = 1 ]; then apt-get update -q >&2; fi
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing ${missing[*]}"
    apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
  fi
}

# apt-get source PKG into $SRC once; prints the unpacked directory
fetch_source() {
  local pkg=$1 dir
  dir=$(find "$SRC" -maxdepth 1 -type d -name "$pkg-[0-9]*" | head -n1)
  if [ -z "$dir" ]; then
    (cd "$SRC" && apt-get source -q "$pkg" >&2)
    dir=$(find "$SRC" -maxdepth 1 -type d -name "$pkg-[0-9]*" | head -n1)
  fi
  [ -n "$dir" ] || { echo "apt-get source $pkg gave no directory" >&2; exit 1; }
  echo "$dir"
}

# fresh in-tree copy (LuaJIT and PortAudio do not build out of tree)
fresh_copy() { rm -rf "${BLD:?}/$2"; cp -a "$1" "$BLD/$2"; echo "$BLD/$2"; }

# run_in DIR LOG CMD... : run CMD in DIR, output appended to LOG; on failure show
# the log's tail and stop
run_in() {
  local dir=$1 logf=$2; shift 2
  if ! (cd "$dir" && "$@") >>"$logf" 2>&1; then
    tail -n 40 "$logf" >&2; echo "failed in $dir: $*" >&2; exit 1
  fi
}

export PKG_CONFIG_LIBDIR=$PREFIX/lib/pkgconfig PKG_CONFIG_PATH=
CONF=(--host="$HOST" --prefix="$PREFIX" --disable-shared --enable-static)
CFLAGS_OPT="-O2"

# For the program too: -DCMAKE_TOOLCHAIN_FILE=PREFIX/share/toolchain-TRIPLE.cmake.
# The -posix compilers: GCC 12's default (win32 thread model) has no std::thread,
# std::mutex or std::condition_variable. Link the program with -static.
write_toolchain() {
  cat > "$PREFIX/share/toolchain-$HOST.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR $CPU)
set(CMAKE_C_COMPILER $HOST-gcc-posix)
set(CMAKE_CXX_COMPILER $HOST-g++-posix)
set(CMAKE_RC_COMPILER $HOST-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$HOST $PREFIX)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "$PREFIX/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
EOF
}

# ---------------------------------------------------------------- libraries
build_luajit() {
  local s d; s=$(fetch_source luajit); d=$(fresh_copy "$s" luajit)
  # BUILDMODE=static: one libluajit.a, no lua51.dll (C modules cannot be loaded; fine
  # for an embedding program). CCDEBUG= drops the -g Debian's patch adds.
  run_in "$d" "$d/build.log" make -j"$JOBS" HOST_CC="$LJ_HOST_CC" CROSS="$HOST-" \
         TARGET_SYS=Windows BUILDMODE=static CCDEBUG=
  mkdir -p "$PREFIX/include/luajit-2.1"
  cp "$d"/src/{lua.h,lualib.h,lauxlib.h,luaconf.h,lua.hpp,luajit.h} "$PREFIX/include/luajit-2.1/"
  cp "$d/src/libluajit.a" "$PREFIX/lib/libluajit-5.1.a"
  cp "$d/src/luajit.exe" "$PREFIX/lib/luajit-test.exe"   # handy smoke test under wine
  cat > "$PREFIX/lib/pkgconfig/luajit.pc" <<EOF
prefix=$PREFIX
libdir=\${prefix}/lib
includedir=\${prefix}/include/luajit-2.1
Name: LuaJIT
Description: Just-in-time compiler for Lua (static, Windows)
Version: 2.1.0-beta3
Libs: -L\${libdir} -lluajit-5.1
Cflags: -I\${includedir}
EOF
}

build_portaudio() {
  local s d; s=$(fetch_source portaudio19); d=$(fresh_copy "$s" portaudio)
  # PortAudio 19.6 includes the WASAPI headers only for MSVC; mingw-w64 has them
  # (lower-case names; FriendlyName key lives in functiondiscoverykeys_devpkey.h,
  # which shares an include guard with functiondiscoverykeys.h).
  sed -i -e 's/^#if defined(_MSC_VER) && (_MSC_VER >= 1400)$/#if (defined(_MSC_VER) \&\& (_MSC_VER >= 1400)) || defined(__MINGW32__)/' \
         -e 's/<Avrt.h>/<avrt.h>/; s/<Audioclient.h>/<audioclient.h>/' \
         -e 's/#include <functiondiscoverykeys.h>/#include <functiondiscoverykeys_devpkey.h>/' \
         "$d/src/hostapi/wasapi/pa_win_wasapi.c"
  grep -q 'defined(__MINGW32__)' "$d/src/hostapi/wasapi/pa_win_wasapi.c" \
    || { echo "WASAPI patch did not apply: source changed?" >&2; exit 1; }
  # shellcheck disable=SC2016  # literal $(top_srcdir)
  sed -i 's#-I\\$(top_srcdir)/src/hostapi/wasapi/mingw-include ##' "$d/configure"
  run_in "$d" "$d/build.log" env CFLAGS="$CFLAGS_OPT" ./configure "${CONF[@]}" \
         --with-winapi=wmme,directx,wasapi --with-dxdir="/usr/$HOST"
  run_in "$d" "$d/build.log" make -j"$JOBS" lib/libportaudio.la
  install -m644 "$d/lib/.libs/libportaudio.a" "$PREFIX/lib/"
  install -m644 "$d/include/portaudio.h" "$d"/include/pa_win_*.h "$PREFIX/include/"
  cat > "$PREFIX/lib/pkgconfig/portaudio-2.0.pc" <<EOF
prefix=$PREFIX
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: PortAudio
Description: Portable audio I/O (static, Windows: MME, DirectSound, WASAPI)
Version: 19.6.0
Libs: -L\${libdir} -lportaudio -lwinmm -ldsound -lole32 -luuid
Cflags: -I\${includedir}
EOF
}

build_ogg() {
  local s d=$BLD/ogg; s=$(fetch_source libogg); rm -rf "$d"; mkdir -p "$d"
  run_in "$d" "$d/build.log" env CFLAGS="$CFLAGS_OPT" "$s/configure" "${CONF[@]}"
  run_in "$d" "$d/build.log" make -j"$JOBS"
  run_in "$d" "$d/build.log" make install
}

build_vorbis() {
  local s d=$BLD/vorbis; s=$(fetch_source libvorbis); rm -rf "$d"; mkdir -p "$d"
  run_in "$d" "$d/build.log" env CFLAGS="$CFLAGS_OPT" "$s/configure" "${CONF[@]}" \
         --disable-oggtest --disable-docs --disable-examples
  run_in "$d" "$d/build.log" make -j"$JOBS"
  run_in "$d" "$d/build.log" make install
}

build_lame() {
  local s d=$BLD/lame; s=$(fetch_source lame); rm -rf "$d"; mkdir -p "$d"
  # libmp3lame with the hip decoder (mpglib, on by default); no lame.exe front end.
  # -msse: xmm_quantize_sub.c uses SSE intrinsics (Debian's patch for it edits only
  # Makefile.am, which is not regenerated here).
  local cf="$CFLAGS_OPT"; [ "$CPU" = i686 ] && cf="$cf -msse"
  run_in "$d" "$d/build.log" env CFLAGS="$cf" "$s/configure" "${CONF[@]}" \
         --disable-frontend --enable-decoder
  run_in "$d" "$d/build.log" make -j"$JOBS"
  run_in "$d" "$d/build.log" make install
  cat > "$PREFIX/lib/pkgconfig/lame.pc" <<EOF
prefix=$PREFIX
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: lame
Description: MP3 encoder/decoder library (static, Windows)
Version: 3.100
Libs: -L\${libdir} -lmp3lame
Cflags: -I\${includedir}/lame
EOF
}

build_samplerate() {
  local s d=$BLD/samplerate; s=$(fetch_source libsamplerate); rm -rf "$d"; mkdir -p "$d"
  run_in "$d" "$d/build.log" cmake -S "$s" -B . \
         -DCMAKE_TOOLCHAIN_FILE="$PREFIX/share/toolchain-$HOST.cmake" -DCMAKE_BUILD_TYPE=Release \
         -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF \
         -DLIBSAMPLERATE_EXAMPLES=OFF
  run_in "$d" "$d/build.log" cmake --build . -j "$JOBS"
  run_in "$d" "$d/build.log" cmake --install .
}

build_fftw() {
  local s d=$BLD/fftw; s=$(fetch_source fftw3); rm -rf "$d"; mkdir -p "$d"
  # Double precision only (what the stand-in's spectra use). --with-our-malloc:
  # Windows' malloc aligns to 8 bytes on 32-bit, SSE2 wants 16.
  run_in "$d" "$d/build.log" env CFLAGS="$CFLAGS_OPT" "$s/configure" "${CONF[@]}" \
         --disable-fortran --disable-doc --disable-threads --enable-sse2 --with-our-malloc
  run_in "$d" "$d/build.log" make -j"$JOBS"
  run_in "$d" "$d/build.log" make install
}

# edflib is one C file and a header; Debian builds it with its own CMake file.
build_edflib() {
  local s d=$BLD/edflib; s=$(fetch_source edflib); rm -rf "$d"; mkdir -p "$d"
  run_in "$d" "$d/build.log" "$HOST-gcc-posix" $CFLAGS_OPT -D_LARGEFILE64_SOURCE -D_LARGEFILE_SOURCE \
         -c "$s/edflib.c" -o edflib.o
  run_in "$d" "$d/build.log" "$HOST-ar" rcs libedf.a edflib.o
  install -m644 "$d/libedf.a" "$PREFIX/lib/"
  install -m644 "$s/edflib.h" "$PREFIX/include/"
}

build_flac() {
  local s d=$BLD/flac; s=$(fetch_source flac); rm -rf "$d"; mkdir -p "$d"
  # libFLAC only (no C++ library, programs, examples or docs). mingw's stack
  # protector needs libssp, which the static program would then need too.
  run_in "$d" "$d/build.log" env CFLAGS="$CFLAGS_OPT" "$s/configure" "${CONF[@]}" \
         --disable-cpplibs --disable-programs --disable-examples --disable-doxygen-docs \
         --disable-xmms-plugin --disable-oggtest --disable-stack-smash-protection --with-ogg="$PREFIX"
  run_in "$d" "$d/build.log" make -j"$JOBS" -C src/libFLAC
  run_in "$d" "$d/build.log" make -C src/libFLAC install
  run_in "$d" "$d/build.log" make -C include install
  install -m644 "$d/src/libFLAC/flac.pc" "$PREFIX/lib/pkgconfig/"
  # A static libFLAC: its headers must not ask for dllimport.
  sed -i 's/^Cflags: \(.*\)$/Cflags: \1 -DFLAC__NO_DLL/' "$PREFIX/lib/pkgconfig/flac.pc"
}

build_opus() {
  local s d=$BLD/opus; s=$(fetch_source opus); rm -rf "$d"; mkdir -p "$d"
  # _FORTIFY_SOURCE=0: configure adds =2 for any GCC unless it is defined, and
  # the checking calls (__memcpy_chk) need libssp, which the static programs
  # would then have to link too.
  run_in "$d" "$d/build.log" env CFLAGS="$CFLAGS_OPT -D_FORTIFY_SOURCE=0" "$s/configure" "${CONF[@]}" \
         --disable-doc --disable-extra-programs --disable-stack-protector --disable-hardening
  run_in "$d" "$d/build.log" make -j"$JOBS"
  run_in "$d" "$d/build.log" make install
}

build_sndfile() {
  local s d=$BLD/sndfile; s=$(fetch_source libsndfile); rm -rf "$d"; mkdir -p "$d"
  # WAV, FLAC, Ogg Vorbis/Opus; no MPEG (mpg123 is not built here), no
  # programs, examples or tests.
  run_in "$d" "$d/build.log" cmake -S "$s" -B . \
         -DCMAKE_TOOLCHAIN_FILE="$PREFIX/share/toolchain-$HOST.cmake" -DCMAKE_BUILD_TYPE=Release \
         -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_C_FLAGS="-DFLAC__NO_DLL" -DBUILD_SHARED_LIBS=OFF \
         -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DENABLE_CPACK=OFF \
         -DENABLE_MPEG=OFF -DENABLE_EXPERIMENTAL=OFF -DINSTALL_MANPAGES=OFF -DENABLE_EXTERNAL_LIBS=ON
  run_in "$d" "$d/build.log" cmake --build . -j "$JOBS"
  run_in "$d" "$d/build.log" cmake --install .
  # libsndfile leaves the codecs out quietly when one of them is missing.
  grep -q '^Requires.private:.*flac' "$PREFIX/lib/pkgconfig/sndfile.pc" \
    || { echo "libsndfile was built without FLAC (see $d/build.log)" >&2; exit 1; }
}

# oscpack (OSC input of the acquisition companion, OSC output of scripts): a
# handful of C++ files, compiled here directly. Installed as Debian lays it out
# (include/oscpack/{osc,ip}) with a .pc that adds the Winsock libraries its UDP
# side needs.
build_oscpack() {
  local s d=$BLD/oscpack f; s=$(fetch_source oscpack); rm -rf "$d"; mkdir -p "$d"
  for f in osc/OscTypes osc/OscReceivedElements osc/OscPrintReceivedElements osc/OscOutboundPacketStream \
           ip/IpEndpointName ip/win32/NetworkingUtils ip/win32/UdpSocket; do
    run_in "$d" "$d/build.log" "$HOST-g++-posix" $CFLAGS_OPT -I"$s" -c "$s/$f.cpp" -o "${f//\//_}.o"
  done
  run_in "$d" "$d/build.log" sh -c "$HOST-ar rcs liboscpack.a *.o"
  install -m644 "$d/liboscpack.a" "$PREFIX/lib/"
  mkdir -p "$PREFIX/include/oscpack/osc" "$PREFIX/include/oscpack/ip"
  install -m644 "$s"/osc/*.h "$PREFIX/include/oscpack/osc/"
  install -m644 "$s"/ip/*.h "$PREFIX/include/oscpack/ip/"
  cat > "$PREFIX/lib/pkgconfig/oscpack.pc" <<EOF
prefix=$PREFIX
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: oscpack
Description: OSC packet packing and unpacking, UDP sockets (static, Windows)
Version: 1.1.0
Libs: -L\${libdir} -loscpack -lws2_32 -lwinmm
Cflags: -I\${includedir}
EOF
}

# Whether a source package can be had (already unpacked, or apt-get source
# works): edflib's tarballs are missing from some mirrors although its .dsc
# is listed.
source_available() {
  local found; found=$(find "$SRC" -maxdepth 1 -type d -name "$1-[0-9]*")
  [ -z "$found" ] && { (cd "$SRC" && apt-get source -q "$1" >&2) || true; }
  [ -n "$(find "$SRC" -maxdepth 1 -type d -name "$1-[0-9]*")" ]
}

step() { # step NAME FUNCTION
  if [ -f "$STAMPS/$1" ]; then log "$1: already built ($(cat "$STAMPS/$1"))"; return 0; fi
  log "$1: building for $HOST"
  timed "$1" "$2"
  echo "$(date -u +%FT%TZ) $HOST" > "$STAMPS/$1"
}

# ---------------------------------------------------------------- link test
link_test() {
  local t=$BLD/linktest
  mkdir -p "$t"
  cat > "$t/linktest.cpp" <<'EOF'
#include <cstdio>
#include <thread>
extern "C" {
#include <lua.h>
#include <lualib.h>
#include <lauxlib.h>
}
#include <portaudio.h>
#include <samplerate.h>
#include <lame.h>
#include <vorbis/vorbisfile.h>
#include <fftw3.h>
#include <sndfile.h>
#include <oscpack/osc/OscOutboundPacketStream.h>
#include <oscpack/ip/UdpSocket.h>
int main() {
    long sum = -1;
    std::thread lua_thread([&] {  // also checks the posix thread model is in use
        lua_State *L = luaL_newstate();
        luaL_openlibs(L);
        if (!luaL_dostring(L, "local s = 0 for i = 1, 1000 do s = s + i end return s"))
            sum = (long)lua_tointeger(L, -1);
        lua_close(L);
    });
    lua_thread.join();
    hip_t hip = hip_decode_init();
    OggVorbis_File vf;
    int ov = ov_fopen("does-not-exist.ogg", &vf);  // must fail cleanly
    float in[64], out[128];
    for (int i = 0; i < 64; ++i) in[i] = (float)i / 64.f;
    SRC_DATA d = {in, out, 64, 128, 0, 0, 0, 2.0};
    int src = src_simple(&d, SRC_SINC_FASTEST, 1);
    double *re = fftw_alloc_real(64);
    fftw_complex *bins = fftw_alloc_complex(33);
    fftw_plan plan = fftw_plan_dft_r2c_1d(64, re, bins, FFTW_ESTIMATE);
    for (int i = 0; i < 64; ++i) re[i] = 1.0;
    fftw_execute(plan);
    double dc = bins[0][0];
    fftw_destroy_plan(plan); fftw_free(bins); fftw_free(re);
    SF_INFO flac = {0, 48000, 2, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0, 0};
    SF_INFO wav = {0, 48000, 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, 0};
    int formats = sf_format_check(&flac) && sf_format_check(&wav);
    char osc_buffer[64];
    osc::OutboundPacketStream osc_message(osc_buffer, sizeof osc_buffer);
    osc_message << osc::BeginMessage("/link") << 1.5f << osc::EndMessage;
    UdpTransmitSocket osc_socket(IpEndpointName("127.0.0.1", 9));  // Winsock starts with it
    std::printf("lua sum=%ld | %s | %s | hip=%p | ov_fopen=%d | src=%d out=%ld | fftw dc=%g | %s flac+wav=%d"
                " | osc=%u\n", sum, Pa_GetVersionText(), src_get_version(), (void *)hip, ov, src,
                d.output_frames_gen, dc, sf_version_string(), formats, (unsigned)osc_message.Size());
    if (hip) hip_decode_exit(hip);
    return (sum == 500500 && hip && ov != 0 && src == 0 && d.output_frames_gen > 0 && dc == 64.0 && formats &&
            osc_message.Size() == 16) ? 0 : 1;
}
EOF
  # shellcheck disable=SC2046
  "$HOST-g++-posix" -O2 -o "$t/linktest.exe" "$t/linktest.cpp" \
      $(pkg-config --cflags luajit portaudio-2.0 samplerate lame vorbisfile fftw3 sndfile oscpack) \
      -static -static-libgcc -static-libstdc++ \
      $(pkg-config --libs --static luajit portaudio-2.0 samplerate lame vorbisfile fftw3 sndfile oscpack)
  log "link test built: $t/linktest.exe"
  if command -v wine >/dev/null 2>&1 && [ -n "${WINEPREFIX:-}" ]; then
    WINEDEBUG=-all wine "$t/linktest.exe" && log "link test ran under wine: OK"
  fi
}

ensure_packages
write_toolchain
step luajit build_luajit
step portaudio build_portaudio
step libogg build_ogg
step libvorbis build_vorbis
step lame build_lame
step libsamplerate build_samplerate
step fftw build_fftw
if [ -f "$STAMPS/edflib" ] || source_available edflib; then
  step edflib build_edflib
else
  log "WARNING: edflib's source package cannot be fetched: feltrix-acquire.exe is built without EDF/BDF input"
fi
step flac build_flac
step opus build_opus
step libsndfile build_sndfile
step oscpack build_oscpack
link_test
log "done: $PREFIX"
