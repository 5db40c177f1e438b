// Child processes on Linux.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

#include "tests/support/test_support.h"

extern char** environ;

namespace feltrix::testing {
namespace {

// Close-on-exec, as every descriptor given to a child is: it keeps only its standard copies, so a
// process the program leaves running (a sound server) cannot hold the test's pipe or files open.
int openFile(const std::string& path, int flags) { return open(path.c_str(), flags | O_CLOEXEC, 0600); }

// Starts `program` with the test's environment plus options.environment, in options.workingDirectory,
// with the given standard descriptors (closed here afterwards). Returns the process id.
pid_t startProgram(const std::string& program, const RunOptions& options, int in, int out, int err) {
    std::vector<std::string> envText, argText{program};
    for (char** e = environ; *e != nullptr; ++e)
        if (options.environment.count(std::string(*e, std::strcspn(*e, "="))) == 0) envText.push_back(*e);
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
    const int out = openFile(outputFile.empty() ? "/dev/null" : outputFile, O_WRONLY | O_CREAT | O_TRUNC);
    pid_ = startProgram(program, options, openFile("/dev/null", O_RDONLY), out, openFile("/dev/null", O_WRONLY));
}

bool BackgroundProgram::running() {
    if (pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) pid_ = -1;
    return pid_ > 0;
}

int BackgroundProgram::stop(int signal, std::chrono::milliseconds bound) {
    if (running()) {
        if (signal != 0) kill(pid_, signal);
        if (!waitFor([&] { return !running(); }, bound) && kill(pid_, SIGKILL) == 0) {
            waitpid(pid_, &status_, 0);
            pid_ = -1;
        }
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

RunResult runProgram(const std::string& program, const RunOptions& options) {
    // Output goes to files, read once the program has ended: a process it leaves running cannot hold
    // the reading up.
    const TempDir capture;
    const int flags = O_WRONLY | O_CREAT | O_TRUNC;
    int inPipe[2] = {-1, -1};
    if (options.stdinIsPipe && pipe2(inPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const int in = options.stdinIsPipe ? inPipe[0] : openFile("/dev/null", O_RDONLY);
    const int out = openFile(capture.file("out"), flags), err = openFile(capture.file("err"), flags);
    const pid_t child = startProgram(program, options, in, out, err);
    // Everything at once, as a parent program would write it (a blocking write returns when all is in the
    // pipe); the pipe stays open (no end of input) until the program has ended.
    if (options.stdinIsPipe && !options.stdinData.empty())
        [[maybe_unused]] ssize_t n = ::write(inPipe[1], options.stdinData.data(), options.stdinData.size());
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
