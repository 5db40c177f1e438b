#pragma once
// A copy of the built program in a folder of its own (<root>/bin/feltrix),
// with or without a library folder next to it, so a test decides which
// libpelgrin32.so the program finds in "its own lib/ folder".
#include <filesystem>
#include <string>

#include "tests/support/test_support.h"

namespace feltrix::testing {

// The program's standard output without the audio engine's diagnostics
// (the output device is missing where no sound server runs).
inline std::string withoutAudioDiagnostics(const std::string& out) {
    std::string kept;
    for (const std::string& line : lines(out)) {
        if (line.find("PortAudio") == std::string::npos) kept += line + "\n";
    }
    return kept;
}

class ProgramCopy {
public:
    // `library`: the file to offer as <root>/lib/libpelgrin32.so; empty for
    // no library folder at all.
    explicit ProgramCopy(const std::string& library) {
        namespace fs = std::filesystem;
        fs::create_directories(root_.file("bin"));
        fs::create_directories(root_.file("run"));
        fs::copy_file(feltrixBinary(), binary());
        if (!library.empty()) {
            fs::create_directories(root_.file("lib"));
            fs::copy_file(library, root_.file("lib/libpelgrin32.so"));
        }
    }
    std::string binary() const { return root_.file("bin/feltrix"); }
    std::string runFolder() const { return root_.file("run"); }

    // Runs the copy in <root>/run with `script` as its init script.
    RunResult run(const std::string& script, RunOptions options = {}) const {
        root_.write(runFolder() + "/FeltrixInit.lj", script);
        options.workingDirectory = runFolder();
        options.environment.emplace("QT_QPA_PLATFORM", "offscreen");
        options.environment.emplace("FELTRIX_AUTOMATION", "1");
        options.environment.emplace("XDG_CONFIG_HOME", root_.file("config"));
        // Nothing but the program's own folder and the system's defaults.
        options.environment.emplace("LD_LIBRARY_PATH", "");
        return runProgram(binary(), options);
    }

private:
    TempDir root_;
};

}  // namespace feltrix::testing
