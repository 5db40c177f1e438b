#!/usr/bin/env bash
# Builds and runs every test: the plain build, the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, once more built by clang
# with its UndefinedBehaviorSanitizer (which also checks float-to-integer
# conversions), the threaded audio tests under ThreadSanitizer, each fuzz
# target for a bounded time, and the Windows build under wine
# (scripts/test_windows.sh).
# Installs what is missing first and starts a private sound server.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

bash scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
export FELTRIX_AUTOMATION=1
run_dir=$(mktemp -d /tmp/feltrix-tests-XXXXXX)
# shellcheck source=scripts/sound_server.sh
source scripts/sound_server.sh start "$run_dir/sound"
trap 'bash "$root/scripts/sound_server.sh" stop "$run_dir/sound"; rm -rf "$run_dir"' EXIT

configure_and_build() {  # dir, extra cmake arguments...
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

echo "== plain build"
configure_and_build build
(cd build && ctest --output-on-failure -j 2 --timeout 300)

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
configure_and_build build-asan -DFELTRIX_SANITIZE=address,undefined -DFELTRIX_BENCH=OFF
# LuaJIT and Qt keep some memory until exit on purpose; leaks of our own code
# are caught by the leak checks inside the tests that look for them.
(cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j 2 --timeout 600)

echo "== clang UndefinedBehaviorSanitizer with float-cast-overflow"
# gcc's UBSan has no float-cast-overflow check: a NaN or out-of-range number
# converted to an integer goes unnoticed there.
CC=clang CXX=clang++ configure_and_build build-ubsan-clang \
  -DFELTRIX_SANITIZE=undefined,float-cast-overflow -DFELTRIX_BENCH=OFF
(cd build-ubsan-clang && UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j 2 --timeout 600)

echo "== ThreadSanitizer (threaded tests)"
configure_and_build build-tsan -DFELTRIX_SANITIZE=thread -DFELTRIX_BENCH=OFF
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
   ctest --output-on-failure -L threaded --timeout 600)

if [ -f fuzz/CMakeLists.txt ]; then
  echo "== fuzzing"
  # Only the fuzz targets: they link just the readers they exercise.
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFELTRIX_FUZZ=ON \
    -DFELTRIX_TESTS=OFF -DFELTRIX_BENCH=OFF -DFELTRIX_SANITIZE=address,undefined >/dev/null
  cmake --build build-fuzz -j "$jobs" --target feltrix_fuzzers
  bash scripts/run_fuzzers.sh build-fuzz "${FELTRIX_FUZZ_SECONDS:-30}"
fi
echo "== Windows (cross-built, under wine)"
bash scripts/test_windows.sh

echo "all test stages passed"
