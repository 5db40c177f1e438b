#pragma once
// The options that shape the synthetic EEG and the band measures. Shared by
// feltrix-eegsim and feltrix-render, so that both compute the same values
// from the same command-line options.
#include <string>

#include "tools/eegsim/analysis_config.h"
#include "tools/eegsim/synthetic_source.h"

namespace eegsim {

enum class SignalOptionParse {
    NotSignalOption,  // `name` is none of these options
    Accepted,
    Rejected,  // a bad value: `error` says why
};

// Whether `name` is one of these options (each takes a value).
bool isSignalOption(const std::string& name);

// Parses one option `name` with its value `text` into the two settings.
SignalOptionParse parseSignalOption(const std::string& name, const std::string& text, SyntheticConfig& synthetic,
                                    AnalysisConfig& analysis, std::string& error);

// The "Synthetic EEG:" and "Measures:" sections of a usage text.
std::string syntheticOptionsUsage();
std::string measureOptionsUsage();

}  // namespace eegsim
