#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>

#include "tests/audio/engine_sink_recorder.h"
#include "tests/support/test_support.h"

extern char** environ;

namespace feltrix::testing {

SinkRecorder::SinkRecorder(const std::string& sink, const std::string& path) {
    const std::string device = sink + ".monitor";
    const char* argv[] = {"parecord",          "-d",         device.c_str(),    "--file-format=wav",
                          "--format=float32le", "--rate=48000", "--channels=2", "--latency-msec=10",
                          path.c_str(),         nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, "parecord", nullptr, nullptr, const_cast<char* const*>(argv), environ) == 0) pid_ = pid;
}

SinkRecorder::~SinkRecorder() { stop(); }

bool SinkRecorder::stop() {
    if (pid_ <= 0) return false;
    kill(pid_, SIGINT);
    int status = 0;
    bool ended = waitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, std::chrono::seconds(10));
    if (!ended) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    return ended;
}

PrivateSink::PrivateSink(const std::string& name) {
    RunOptions options;
    options.arguments = {"load-module", "module-null-sink", "sink_name=" + name, "rate=48000", "channels=2",
                         "format=float32le", "norewinds=1"};
    const RunResult loaded = runProgram("/usr/bin/pactl", options);
    if (loaded.exitCode != 0) return;
    module_ = loaded.out.substr(0, loaded.out.find_first_of("\r\n"));
    options.arguments = {"set-sink-volume", name, "100%"};
    if (runProgram("/usr/bin/pactl", options).exitCode == 0) name_ = name;
}

PrivateSink::~PrivateSink() {
    if (module_.empty()) return;
    RunOptions options;
    options.arguments = {"unload-module", module_};
    runProgram("/usr/bin/pactl", options);
}

namespace {
std::uint32_t le32(const std::string& data, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(data[at + i]);
    return value;
}
}  // namespace

std::vector<float> readFloatWav(const std::string& path, int* channels) {
    const std::string data = readFile(path);
    if (data.size() < 12 || data.compare(0, 4, "RIFF") != 0 || data.compare(8, 4, "WAVE") != 0) return {};
    *channels = 0;
    std::size_t at = 12;
    while (at + 8 <= data.size()) {
        const std::string id = data.substr(at, 4);
        std::uint64_t size = le32(data, at + 4);
        if (id == "fmt " && at + 12 <= data.size()) {
            *channels = static_cast<unsigned char>(data[at + 10]) | (static_cast<unsigned char>(data[at + 11]) << 8);
        } else if (id == "data") {
            // An interrupted recorder may leave the size unset: take what is there.
            const std::uint64_t available = data.size() - (at + 8);
            if (size == 0 || size > available) size = available;
            std::vector<float> samples(size / sizeof(float));
            std::memcpy(samples.data(), data.data() + at + 8, samples.size() * sizeof(float));
            return samples;
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

}  // namespace feltrix::testing
