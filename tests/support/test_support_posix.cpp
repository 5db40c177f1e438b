// Child processes on Linux.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "tests/support/test_support.h"

extern char** environ;

namespace feltrix::testing {
namespace {

// Starts `program` with the test's environment plus options.environment, in
// options.workingDirectory, with the given standard descriptors (closed here
// afterwards). Returns the process id.
pid_t startProgram(const std::string& program, const RunOptions& options, int in, int out, int err,
                   const std::vector<int>& closeInChild) {
    std::vector<std::string> envText, argText{program};
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        if (options.environment.count(entry.substr(0, entry.find('='))) == 0) envText.push_back(entry);
    }
    for (const auto& [key, value] : options.environment) envText.push_back(key + "=" + value);
    argText.insert(argText.end(), options.arguments.begin(), options.arguments.end());
    const auto pointers = [](std::vector<std::string>& texts) {
        std::vector<char*> result;
        for (auto& text : texts) result.push_back(text.data());
        result.push_back(nullptr);
        return result;
    };
    std::vector<char*> envp = pointers(envText), argv = pointers(argText);

    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        // Only the standard descriptors: a process the program leaves running
        // (a sound server) must not hold the test's pipes open.
        std::vector<int> inherited = closeInChild;
        inherited.insert(inherited.end(), {in, out, err});
        for (const int fd : inherited) if (fd > STDERR_FILENO) close(fd);
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) _exit(127);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    for (const int fd : {in, out, err}) close(fd);
    return child;
}

}  // namespace

BackgroundProgram::BackgroundProgram(const std::string& program, const RunOptions& options,
                                     const std::string& outputFile) {
    const int out = outputFile.empty() ? open("/dev/null", O_WRONLY)
                                       : open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_ = startProgram(program, options, open("/dev/null", O_RDONLY), out, open("/dev/null", O_WRONLY), {});
}

bool BackgroundProgram::running() {
    if (pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) pid_ = -1;
    return pid_ > 0;
}

int BackgroundProgram::stop(int signal, std::chrono::milliseconds bound) {
    if (running()) {
        if (signal != 0) kill(pid_, signal);
        if (!waitFor([&] { return !running(); }, bound)) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status_, 0);
            pid_ = -1;
        }
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

RunResult runProgram(const std::string& program, const RunOptions& options) {
    // Output goes to files, read once the program has ended: a process it
    // leaves running cannot hold the reading up.
    const TempDir capture;
    const auto create = [&](const char* name) {
        return open(capture.file(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    };
    int inPipe[2] = {-1, -1};
    if (options.stdinIsPipe && pipe(inPipe) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = startProgram(program, options, options.stdinIsPipe ? inPipe[0] : open("/dev/null", O_RDONLY),
                                     create("out"), create("err"), {inPipe[1]});
    // Everything at once, as a parent program would write it; the pipe stays
    // open (no end of input) until the program has ended.
    for (std::size_t done = 0; options.stdinIsPipe && done < options.stdinData.size();) {
        const ssize_t n = ::write(inPipe[1], options.stdinData.data() + done, options.stdinData.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    RunResult result;
    int status = 0;
    result.timedOut = !waitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, options.timeout);
    if (result.timedOut) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    if (options.stdinIsPipe) close(inPipe[1]);
    result.exitCode = result.timedOut || !WIFEXITED(status) ? -1 : WEXITSTATUS(status);
    result.out = readFile(capture.file("out"));
    result.err = readFile(capture.file("err"));
    return result;
}

std::string listEntryAsScriptsRead(const std::string& text) { return text; }

bool makeFifo(const std::string& path) {
    if (mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed: " + path);
    return true;
}

}  // namespace feltrix::testing
