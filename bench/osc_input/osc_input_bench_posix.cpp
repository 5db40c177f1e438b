// feltrix-acquire --osc fed a Muse stream in real time: 256 samples a second of
// 5 channels (/muse/eeg, one sample a packet, as Mind Monitor sends them)
// for 30 s. Reports the program's CPU time as a share of one core, and the
// time from sending a packet with a spike (every 2.5 s) to the artifact
// appearing in the shared area, read through the interface library.
//   osc_input_bench [seconds]
#include <oscpack/ip/UdpSocket.h>
#include <oscpack/osc/OscOutboundPacketStream.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/host_variable_indices.h"
#include "hostlink/library_loader.h"
#include "interface_library/pelgrin32.h"
#include "tools/acquire/system.h"

extern char** environ;

namespace {

using OpenFunction = void*(PELGRIN32_CALL*)(const char*);
using DllCFuncFunction = int32_t(PELGRIN32_CALL*)(int32_t, int32_t);

// The companion's own monotonic clock and sleep.
double now() { return eegsim::monotonicSeconds(); }
using eegsim::sleepUntil;

bool portBound(int port) {
    std::ifstream table("/proc/net/udp");
    std::string line;
    std::getline(table, line);
    while (std::getline(table, line)) {
        const auto colon = line.find(':', line.find(':') + 1);
        if (colon != std::string::npos && std::stoi(line.substr(colon + 1, 4), nullptr, 16) == port) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    const int port = 40000 + getpid() % 20000;
    const std::string area = "feltrix-osc-bench-" + std::to_string(getpid());
    setenv("PELGRIN32_AREA_NAME", area.c_str(), 1);

    std::string failures;
    void* library = feltrix::loadLibraryFile(PELGRIN32_LIBRARY, &failures);
    if (!library) return std::printf("cannot load the library: %s\n", failures.c_str()), 1;
    auto open = reinterpret_cast<OpenFunction>(feltrix::findLibraryExport(library, "Open"));
    auto dllCFunc = reinterpret_cast<DllCFuncFunction>(feltrix::findLibraryExport(library, "DllCFunc"));
    if (!open || !dllCFunc || !open("osc-bench")) return std::printf("cannot open the shared area\n"), 1;

    const std::string portText = std::to_string(port), duration = std::to_string(seconds + 1.0);
    std::vector<std::string> arguments = {EEGSIM_PROGRAM, "--osc", portText, "--osc-bind", "127.0.0.1", "--quiet",
                                          "--duration", duration};
    std::vector<char*> argvOut;
    for (auto& a : arguments) argvOut.push_back(a.data());
    argvOut.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, EEGSIM_PROGRAM, nullptr, nullptr, argvOut.data(), environ) != 0)
        return std::printf("cannot start %s\n", EEGSIM_PROGRAM), 1;
    const double waitEnd = now() + 20.0;
    while (!portBound(port) && now() < waitEnd) sleepUntil(now() + 0.005);

    // Watches the artifact word and notes when it rises.
    std::atomic<bool> done{false};
    std::atomic<double> risen{-1.0};
    std::thread watcher([&] {
        int16_t last = 0;
        while (!done) {
            const auto artifact = static_cast<int16_t>(dllCFunc(feltrix::host_indices::kArtifactIndex, 0) & 0xFFFF);
            if (artifact && !last) risen = now();
            last = artifact;
            sleepUntil(now() + 0.0002);
        }
    });

    UdpTransmitSocket socket(IpEndpointName("127.0.0.1", port));
    char buffer[256];
    const int rate = 256, spikeEvery = 640;  // 2.5 s: the window (2 s) forgets each spike before the next
    const double start = now();
    std::vector<double> latencies;
    double spikeSent = -1.0;
    for (long n = 0; n < static_cast<long>(seconds * rate); ++n) {
        sleepUntil(start + static_cast<double>(n) / rate);
        if (spikeSent >= 0.0 && risen >= spikeSent) {
            latencies.push_back(risen - spikeSent);
            spikeSent = -1.0;
        }
        const bool spike = n % spikeEvery == spikeEvery / 2;
        const float v = spike ? 400.0f : static_cast<float>(20.0 * std::sin(2.0 * M_PI * 10.0 * n / rate));
        osc::OutboundPacketStream packet(buffer, sizeof buffer);
        packet << osc::BeginMessage("/muse/eeg") << v << v << v << v << v << osc::EndMessage;
        if (spike) {
            risen = -1.0;
            spikeSent = now();
        }
        socket.Send(packet.Data(), packet.Size());
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double wall = now() - start;
    done = true;
    watcher.join();

    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    std::printf("feltrix-acquire --osc, 256 Hz x 5 channels, %.0f s: CPU %.2f s = %.2f %% of one core\n", wall, cpu,
                100.0 * cpu / wall);
    if (latencies.empty()) return std::printf("no spike reached the area\n"), 1;
    std::sort(latencies.begin(), latencies.end());
    double sum = 0.0;
    for (double l : latencies) sum += l;
    std::printf("packet to area (artifact of a spike), %zu spikes: median %.1f ms, mean %.1f ms, max %.1f ms "
                "(bound: update interval 31.25 ms + hop 31.25 ms = 62.5 ms)\n",
                latencies.size(), 1000.0 * latencies[latencies.size() / 2], 1000.0 * sum / latencies.size(),
                1000.0 * latencies.back());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
