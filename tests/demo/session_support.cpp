#include "tests/demo/session_support.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "tests/support/test_support.h"

extern char** environ;

namespace feltrix::testing {
namespace {

// Starts `arguments[0]` with the test's environment plus `extra`; output goes
// to /dev/null. Returns the process id or -1.
pid_t spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& extra) {
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) environment.emplace_back(*e);
    environment.insert(environment.end(), extra.begin(), extra.end());
    std::vector<char*> envp, argv;
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = arguments;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
}

void endProcess(pid_t pid, int signal) {
    if (pid <= 0) return;
    kill(pid, signal);
    int status = 0;
    // A process that ignores the polite signal is killed after a bound.
    if (!waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::seconds(5))) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
}

float readFloat(const std::string& bytes, std::size_t offset) {
    float value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

}  // namespace

StandIn::StandIn(unsigned seed, const std::vector<std::string>& options) {
    std::vector<std::string> arguments = {std::string(FELTRIX_BINARY_DIR) + "/bin/feltrix-eegsim", "--quiet", "--seed",
                                          std::to_string(seed)};
    arguments.insert(arguments.end(), options.begin(), options.end());
    pid_ = spawn(arguments, {"PELGRIN32_AREA_NAME=" + areaName()});
}

StandIn::~StandIn() {
    endProcess(pid_, SIGTERM);
}

bool StandIn::running() const {
    if (pid_ <= 0) return false;
    int status = 0;
    return waitpid(pid_, &status, WNOHANG) == 0;
}

bool soundServerAvailable() {
    const char* server = std::getenv("PULSE_SERVER");
    return server != nullptr && server[0] != '\0';
}

SinkRecorder::SinkRecorder(std::string path) : path_(std::move(path)) {
    const char* sink = std::getenv("FELTRIX_TEST_SINK");
    const std::string monitor = std::string(sink != nullptr && sink[0] != '\0' ? sink : "ci_sink") + ".monitor";
    pid_ = spawn({"/usr/bin/parecord", "-d", monitor, "--file-format=wav", "--format=float32le", "--rate=48000",
                  "--channels=2", "--latency-msec=10", path_},
                 {});
    if (pid_ <= 0) return;
    started_ = waitFor([&] {
        struct stat info {};
        return stat(path_.c_str(), &info) == 0 && info.st_size > 64;
    });
}

SinkRecorder::~SinkRecorder() { stop(); }

void SinkRecorder::stop() {
    endProcess(pid_, SIGINT);
    pid_ = -1;
}

double SinkRecorder::stopAndMeasureRms() {
    stop();
    const std::string bytes = readFile(path_);
    // The samples follow the "data" chunk's 8-byte header; a recording that
    // was interrupted may leave its size field unset, so read to the end.
    const std::size_t data = bytes.find("data");
    if (data == std::string::npos) return -1.0;
    const std::size_t first = data + 8;
    const std::size_t count = (bytes.size() - first) / sizeof(float);
    if (count == 0) return -1.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double sample = readFloat(bytes, first + i * sizeof(float));
        sum += sample * sample;
    }
    return std::sqrt(sum / static_cast<double>(count));
}

std::string builtDemoFolder() { return std::string(FELTRIX_BINARY_DIR) + "/demo"; }

void copyDemoFolder(const std::string& folder) {
    std::filesystem::copy(builtDemoFolder(), folder,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}

}  // namespace feltrix::testing
