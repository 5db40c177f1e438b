#include "tests/support/test_support.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace feltrix::testing {

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    const std::string prefix = "feltrix-test-" + std::to_string(std::random_device{}()) + "-";
    // Made only if new, so no other test shares it; private to the user.
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const auto folder = std::filesystem::temp_directory_path() / (prefix + std::to_string(counter++));
        if (std::filesystem::create_directory(folder)) path_ = folder.generic_string();
    }
    if (path_.empty()) throw std::runtime_error("no temporary folder could be made");
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& content) const {
    const std::string full = std::filesystem::u8path(name).has_root_directory() ? name : file(name);
    // u8path: UTF-8 names work on Windows too (a wide name there).
    std::ofstream(std::filesystem::u8path(full), std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
    return full;
}

std::string readFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(std::filesystem::u8path(path), std::ios::binary).rdbuf();
    return text.str();
}

std::string feltrixBinary() { return FELTRIX_PROGRAM; }

RunOptions feltrixOptions(const TempDir& dir, const std::string& script, RunOptions options) {
    dir.write("FeltrixInit.lj", script);
    options.workingDirectory = dir.path();
    // XDG_CONFIG_HOME keeps the test's install-path record out of the user's settings.
    options.environment.insert(
        {{"QT_QPA_PLATFORM", "offscreen"}, {"FELTRIX_AUTOMATION", "1"}, {"XDG_CONFIG_HOME", dir.path() + "/config"}});
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
    for (const std::string& line : lines(out))  // not "Error initializing/opening default/starting PortAudio ..."
        if (line.rfind("Error ", 0) != 0 || line.find(" PortAudio") == std::string::npos) kept += line + "\n";
    return kept;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        result.push_back(line);
    }
    return result;
}

}  // namespace feltrix::testing
