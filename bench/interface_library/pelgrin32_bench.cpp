// Throughput of the Pelgrin32 exports: reads and writes per second through
// DllCFunc with plain and extended indices, and, in the same run, plain
// memory reads of the same host block words through the address Open returns.
//
//   build/bin/pelgrin32_bench [seconds per measurement, default 0.5]
//
// Uses a private area (PELGRIN32_AREA_NAME, or a name of its own that is
// removed at the end), never a running session's.
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "interface_library/pelgrin32.h"

namespace {

using Clock = std::chrono::steady_clock;

// Runs `batch` (which does `perBatch` operations) until `seconds` have passed;
// returns operations per second.
double measure(double seconds, int perBatch, const std::function<void()>& batch) {
    long long operations = 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    auto now = start;
    while (now < end) {
        for (int i = 0; i < 64; ++i) batch();
        operations += 64LL * perBatch;
        now = Clock::now();
    }
    return static_cast<double>(operations) / std::chrono::duration<double>(now - start).count();
}

std::int32_t extendedIndex(std::uint32_t ch, std::uint32_t group, std::uint32_t field, std::uint32_t k) {
    return static_cast<std::int32_t>(ch << 24 | group << 22 | field << 16 | k << 8);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 0.5;
    std::string ownName;
    if (std::getenv("PELGRIN32_AREA_NAME") == nullptr) {
        ownName = "/pelgrin32-bench-" + std::to_string(getpid());
        setenv("PELGRIN32_AREA_NAME", ownName.c_str(), 1);
    }
    auto* host = static_cast<volatile std::int16_t*>(Open("bench"));
    if (host == nullptr) {
        std::printf("Open failed\n");
        return 1;
    }

    // The words a Feltrix snapshot reads: the band codes of both channels,
    // the artifact word and the event words.
    std::vector<std::int32_t> plain;
    for (std::int32_t c = 0; c < 2; ++c)
        for (std::int32_t code = 1; code < 127; ++code) plain.push_back(128 * c + code);
    plain.push_back(1616);
    for (std::int32_t i = 1744; i < 1792; ++i) plain.push_back(i);
    std::vector<std::int32_t> extended;
    for (std::uint32_t ch = 1; ch <= 2; ++ch)
        for (std::uint32_t f : {2u, 4u, 5u, 6u, 10u, 12u, 13u, 14u, 16u, 17u, 21u})
            for (std::uint32_t k = 1; k <= 9; ++k) extended.push_back(extendedIndex(ch, 0, f, k));
    const int plainCount = static_cast<int>(plain.size());
    const int extendedCount = static_cast<int>(extended.size());

    std::int64_t sink = 0;
    const double plainRead = measure(seconds, plainCount, [&] {
        for (const std::int32_t i : plain) sink += DllCFunc(i, 0);
    });
    const double plainWrite = measure(seconds, plainCount, [&] {
        for (const std::int32_t i : plain) sink += DllCFunc(-i, i);
    });
    const double extendedRead = measure(seconds, extendedCount, [&] {
        for (const std::int32_t i : extended) sink += DllCFunc(i, 0);
    });
    const double extendedWrite = measure(seconds, extendedCount, [&] {
        for (const std::int32_t i : extended) sink += DllCFunc(-i, 7);
    });
    const double memoryRead = measure(seconds, plainCount, [&] {
        for (const std::int32_t i : plain) sink += host[i];
    });

    std::printf("Pelgrin32 throughput (%.2f s per line, %d plain and %d extended indices)\n", seconds, plainCount,
                extendedCount);
    std::printf("  DllCFunc plain read      %8.1f M/s\n", plainRead / 1e6);
    std::printf("  DllCFunc plain write     %8.1f M/s\n", plainWrite / 1e6);
    std::printf("  DllCFunc extended read   %8.1f M/s\n", extendedRead / 1e6);
    std::printf("  DllCFunc extended write  %8.1f M/s\n", extendedWrite / 1e6);
    std::printf("  memory read, same words  %8.1f M/s\n", memoryRead / 1e6);
    std::printf("  one snapshot of %d reads: %.2f us through DllCFunc\n", plainCount, plainCount / plainRead * 1e6);
    std::printf("(checksum %lld)\n", static_cast<long long>(sink));
    if (!ownName.empty()) shm_unlink(ownName.c_str());
    return 0;
}
