#include "tests/support/test_support.h"

#include <fstream>
#include <sstream>
#include <thread>

namespace feltrix::testing {

std::string TempDir::write(const std::string& name, const std::string& content) const {
    const std::string full = name.empty() || isAbsolutePath(name) ? name : file(name);
    std::ofstream out(full, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return full;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string feltrixBinary() { return FELTRIX_PROGRAM; }

RunOptions feltrixOptions(const TempDir& dir, const std::string& script, RunOptions options) {
    dir.write("FeltrixInit.lj", script);
    options.workingDirectory = dir.path();
    options.environment.emplace("QT_QPA_PLATFORM", "offscreen");
    options.environment.emplace("FELTRIX_AUTOMATION", "1");
    // Keep the test's install-path record out of the user's settings.
    options.environment.emplace("XDG_CONFIG_HOME", dir.path() + "/config");
    return options;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string scriptOutput(const std::string& out) {
    std::string kept;
    for (const std::string& line : lines(out)) {
        if (line.rfind("Error initializing PortAudio", 0) == 0 || line.rfind("Error opening default PortAudio", 0) == 0 ||
            line.rfind("Error starting PortAudio", 0) == 0) {
            continue;
        }
        kept += line + "\n";
    }
    return kept;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        // Windows programs end their lines with CR LF.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        result.push_back(line);
    }
    return result;
}

}  // namespace feltrix::testing
