// Cost of one update cycle's host-variable work: 277 reads through DllCFunc
// and 283 globals published, beside 283 plain lua_setfield calls in the same
// run. Reads go through the real libpelgrin32.so on a private shared area
// (PELGRIN32_AREA_NAME), or through an in-process array with --no-library.
//   bench_host_cycle [--no-library] [cycles]
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/lua.h"
#include "hostlink/host_publication.h"
#include "hostlink/library_loader.h"

using namespace feltrix;
using Clock = std::chrono::steady_clock;

namespace {

std::int16_t localWords[65536];
std::int32_t localDllCFunc(std::int32_t index, std::int32_t) { return localWords[index & 0xFFFF]; }

constexpr int kRounds = 7;

// Median over kRounds of the time per call of `body`, in microseconds.
template <typename Body>
double microsecondsPerCycle(int cycles, Body body) {
    std::vector<double> rounds;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        for (int i = 0; i < cycles; ++i) body(i);
        const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
        rounds.push_back(spent.count() / cycles);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    bool useLibrary = true;
    int cycles = 20000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-library") == 0) {
            useLibrary = false;
        } else {
            cycles = std::max(1, std::atoi(argv[i]));
        }
    }

    DllCFuncFunction dllCFunc = localDllCFunc;
    const std::string area = "feltrix-hostlink-bench-" + std::to_string(getpid());
    if (useLibrary) {
        setenv("PELGRIN32_AREA_NAME", area.c_str(), 1);
        LibraryHandle library = loadLibraryFile(PELGRIN32_LIBRARY);
        auto open = reinterpret_cast<OpenFunction>(findLibraryExport(library, "Open"));
        dllCFunc = reinterpret_cast<DllCFuncFunction>(findLibraryExport(library, "DllCFunc"));
        if (open == nullptr || dllCFunc == nullptr || open("bench") == nullptr) {
            std::fprintf(stderr, "cannot attach through %s\n", PELGRIN32_LIBRARY);
            return 1;
        }
        // Something other than zeros in every variable the cycle reads.
        for (const HostVariableRead& read : hostVariableReads()) dllCFunc(-read.index, read.index * 37);
    } else {
        for (int i = 0; i < 65536; ++i) localWords[i] = static_cast<std::int16_t>(i * 37);
    }

    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    HostVariableSnapshot snapshot{};
    const auto& published = publishedVariables();
    // Warm-up: every global exists, names interned, caches filled.
    for (int i = 0; i < 1000; ++i) {
        readHostVariables(dllCFunc, snapshot);
        publishHostVariables(L, snapshot);
    }
    const int memoryBefore = lua_gc(L, LUA_GCCOUNT, 0) * 1024 + lua_gc(L, LUA_GCCOUNTB, 0);
    lua_gc(L, LUA_GCSTOP, 0);

    const double read = microsecondsPerCycle(cycles, [&](int) { readHostVariables(dllCFunc, snapshot); });
    const double publish = microsecondsPerCycle(cycles, [&](int) { publishHostVariables(L, snapshot); });
    const double cycle = microsecondsPerCycle(cycles, [&](int) {
        readHostVariables(dllCFunc, snapshot);
        publishHostVariables(L, snapshot);
    });
    const int memoryAfter = lua_gc(L, LUA_GCCOUNT, 0) * 1024 + lua_gc(L, LUA_GCCOUNTB, 0);
    // The baseline: the same number of plain lua_setfield calls (name as a C
    // string, value a number) on the globals table.
    const double setfield = microsecondsPerCycle(cycles, [&](int i) {
        for (const PublishedVariable& v : published) {
            lua_pushnumber(L, i);
            lua_setfield(L, LUA_GLOBALSINDEX, v.name);
        }
    });
    lua_close(L);
    if (useLibrary) shm_unlink(("/" + area).c_str());

    const double shortestIntervalUs = 10000.0;
    std::printf("reads through: %s\n", useLibrary ? PELGRIN32_LIBRARY : "an in-process array (--no-library)");
    std::printf("cycles per round: %d, rounds: %d (median shown)\n", cycles, kRounds);
    std::printf("snapshot (%zu reads):                 %8.3f us\n", hostVariableReads().size(), read);
    std::printf("publication (%zu globals):            %8.3f us\n", published.size(), publish);
    std::printf("one cycle (snapshot + publication):   %8.3f us  = %.3f %% of 10 ms\n", cycle,
                100.0 * cycle / shortestIntervalUs);
    std::printf("baseline (%zu plain lua_setfield):    %8.3f us\n", published.size(), setfield);
    std::printf("Lua memory change over the timed cycles: %d bytes\n", memoryAfter - memoryBefore);
    return 0;
}
