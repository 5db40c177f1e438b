#include "tests/support/sink_recorder_posix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace feltrix::testing {
namespace {

bool pactl(std::vector<std::string> arguments, std::string* out = nullptr) {
    const RunResult result = runProgram("/usr/bin/pactl", RunOptions{std::move(arguments)});
    if (out != nullptr) *out = result.out.substr(0, result.out.find_first_of("\r\n"));
    return result.exitCode == 0;
}

}  // namespace

bool soundServerAvailable() {
    const char* server = std::getenv("PULSE_SERVER");
    return server != nullptr && server[0] != '\0';
}

SinkRecorder::SinkRecorder(const std::string& path) : path_(path) {
    static std::atomic<int> counter{0};
    sink_ = "feltrix_test_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
    if (!soundServerAvailable() ||
        !pactl({"load-module", "module-null-sink", "sink_name=" + sink_, "rate=48000", "channels=2",
                "format=float32le", "norewinds=1"}, &module_) ||
        !pactl({"set-sink-volume", sink_, "100%"})) {
        return;
    }
    parecord_ = std::make_unique<BackgroundProgram>(
        "/usr/bin/parecord", RunOptions{{"--raw", "-d", sink_ + ".monitor", "--format=float32le", "--rate=48000",
                                         "--channels=2", "--latency-msec=10", path_}});
    // The null sink plays silence from the start: the file grows at once.
    started_ = waitFor([&] {
        struct stat info {};
        return stat(path_.c_str(), &info) == 0 && info.st_size > 8192;
    });
}

SinkRecorder::~SinkRecorder() {
    stop();
    if (!module_.empty()) pactl({"unload-module", module_});
}

std::vector<float> SinkRecorder::stop() {
    if (!parecord_) return {};
    parecord_->stop(SIGINT);
    parecord_.reset();
    const std::string data = readFile(path_);
    std::vector<float> samples(data.size() / sizeof(float) / 2 * 2);
    std::memcpy(samples.data(), data.data(), samples.size() * sizeof(float));
    return samples;
}

}  // namespace feltrix::testing
