#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>

#include "tests/audio/engine_sink_recorder.h"
#include "tests/support/test_support.h"

extern char** environ;

namespace feltrix::testing {
namespace {
bool pactl(std::vector<std::string> arguments, std::string* out = nullptr) {
    RunOptions options;
    options.arguments = std::move(arguments);
    const RunResult result = runProgram("/usr/bin/pactl", options);
    if (out != nullptr) *out = result.out.substr(0, result.out.find_first_of("\r\n"));
    return result.exitCode == 0;
}
}  // namespace

SinkRecorder::SinkRecorder(const std::string& sink, const std::string& path) : path_(path) {
    if (!pactl({"load-module", "module-null-sink", "sink_name=" + sink, "rate=48000", "channels=2",
                "format=float32le", "norewinds=1"}, &module_) ||
        !pactl({"set-sink-volume", sink, "100%"})) {
        return;
    }
    const std::string device = sink + ".monitor";
    const char* argv[] = {"parecord",      "--raw",        "-d",        device.c_str(), "--format=float32le",
                          "--rate=48000", "--channels=2", "--latency-msec=10", path.c_str(), nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, "parecord", nullptr, nullptr, const_cast<char* const*>(argv), environ) == 0) pid_ = pid;
}

SinkRecorder::~SinkRecorder() {
    stop();
    if (!module_.empty()) pactl({"unload-module", module_});
}

std::vector<float> SinkRecorder::stop() {
    if (pid_ <= 0) return {};
    kill(pid_, SIGINT);
    int status = 0;
    if (!waitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, std::chrono::seconds(10))) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    const std::string data = readFile(path_);
    std::vector<float> samples(data.size() / sizeof(float));
    std::memcpy(samples.data(), data.data(), samples.size() * sizeof(float));
    return samples;
}

}  // namespace feltrix::testing
