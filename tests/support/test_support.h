#pragma once
// Helpers shared by the tests: temporary folders, running a program (to its end or in the background),
// waiting for a condition with a bound.
#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace feltrix::testing {

// A fresh folder, removed with its contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // Writes a file (relative names are inside the folder); returns its path.
    std::string write(const std::string& name, const std::string& content) const;
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string readFile(const std::string& path);

struct RunOptions {
    std::vector<std::string> arguments;
    std::string workingDirectory{};
    std::map<std::string, std::string> environment{};  // on top of the test's own
    // stdinData is written to a pipe left open until the end; without stdinIsPipe standard input is empty.
    bool stdinIsPipe = false;
    std::string stdinData{};
    std::chrono::milliseconds timeout{20000};  // then the program is killed
};

struct RunResult {
    int exitCode = -1;  // -1 when killed or ended by a signal
    bool timedOut = false;
    std::string out{}, err{};
};

// Runs `program` to its end, capturing its output. On Windows CR LF becomes LF and a program that
// cannot be started gives 127, as on Linux.
RunResult runProgram(const std::string& program, const RunOptions& options);

// A program running in the background, its standard output written to `outputFile` or discarded
// (Windows: tests/windows/background_program_win32.cpp).
class BackgroundProgram {
public:
    BackgroundProgram(const std::string& program, const RunOptions& options, const std::string& outputFile = "");
    ~BackgroundProgram() { stop(); }
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;
    bool running();
    // Sends `signal` (none when 0), waits up to `bound` for the end, then kills. Returns the exit code,
    // -1 when ended by a signal.
    int stop(int signal = SIGTERM, std::chrono::milliseconds bound = std::chrono::seconds(10));

private:
    pid_t pid_ = -1;
    int status_ = -1;
};

// build/bin/feltrix (Feltrix.exe on Windows).
std::string feltrixBinary();
// Options to run it in `dir` (offscreen, automation on) with `script` as its FeltrixInit.lj there.
RunOptions feltrixOptions(const TempDir& dir, const std::string& script, RunOptions options = {});
inline RunResult runFeltrix(const TempDir& dir, const std::string& script, RunOptions options = {}) {
    return runProgram(feltrixBinary(), feltrixOptions(dir, script, std::move(options)));
}

// Polls `condition` until it holds or `bound` passes; returns its last value.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound = std::chrono::seconds(10));

// Standard output without the audio engine's diagnostics (they depend on whether there is a sound device).
std::string scriptOutput(const std::string& out);

// A drop-down entry's UTF-8 text as scripts read it back (in the ANSI code page on Windows).
std::string listEntryAsScriptsRead(const std::string& text);

// A FIFO with no writer at `path` (Linux: true); Windows has none (false).
bool makeFifo(const std::string& path);

// Lines of `text` without their line breaks (LF or CR LF).
std::vector<std::string> lines(const std::string& text);

}  // namespace feltrix::testing
