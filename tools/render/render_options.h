#pragma once
// The command line of feltrix-render.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/acquire/analysis_config.h"
#include "tools/acquire/synthetic_source.h"

namespace feltrix::render {

enum class SampleFormat { Float32, Signed16 };

struct RenderOptions {
    // The init script; empty: FeltrixInit.lj in the current folder.
    std::string scriptPath;
    std::string outPath;
    enum class Values { None, Replay, Synthetic } values = Values::None;
    std::string replayPath;
    eegsim::SyntheticConfig synthetic;
    eegsim::AnalysisConfig analysis;
    std::optional<double> seconds;  // default: the replay's length
    int rate = 48000;               // output frames per second
    std::optional<SampleFormat> format;
    bool help = false;
};

// Parses the arguments (without the program name). On failure returns false
// with a one-line message in `error`.
bool parseRenderOptions(const std::vector<std::string>& arguments, RenderOptions& options, std::string& error);

std::string renderUsageText();

}  // namespace feltrix::render
