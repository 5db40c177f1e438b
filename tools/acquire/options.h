#pragma once
// The command line of feltrix-acquire.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/acquire/analysis_config.h"
#include "tools/acquire/edf_source.h"
#include "tools/acquire/osc_options.h"
#include "tools/acquire/synthetic_source.h"

namespace eegsim {

struct Options {
    enum class Source { Synthetic, Edf, Replay, Osc } source = Source::Synthetic;
    SyntheticConfig synthetic;
    EdfChoice edf;
    std::string replayPath;
    OscOptions osc;
    AnalysisConfig analysis;
    double speed = 1.0;  // 0 = as fast as possible
    std::optional<double> durationSeconds;
    std::optional<uint64_t> maxTicks;
    std::string recordPath;
    std::string libraryPath;
    bool quiet = false;
    bool help = false;
};

// Parses the arguments (without the program name). On failure returns false
// with a one-line message in `error`.
bool parseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error);

std::string usageText();

}  // namespace eegsim
