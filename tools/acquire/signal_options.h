#pragma once
// The options that shape the synthetic EEG and the band measures. Shared by
// feltrix-acquire and feltrix-render, so that both compute the same values
// from the same command-line options.
#include <cstddef>
#include <string>
#include <vector>

#include "tools/acquire/analysis_config.h"
#include "tools/acquire/synthetic_source.h"

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

// Command-line helpers both programs parse with.
// A finite number that fills the whole text.
bool parseNumber(const std::string& text, double& value);
// `text`, the value of option `name`, as a number of at least `low` (above
// `low` unless lowInclusive); otherwise false with "bad value for NAME: TEXT".
bool parseNumberOption(const std::string& name, const std::string& text, double low, bool lowInclusive,
                       double& target, std::string& error);
// Moves `i` on to the value of the option at arguments[i]; false with a
// message when the option is not `known` or has no value after it.
bool takeOptionValue(const std::vector<std::string>& arguments, std::size_t& i, bool known, std::string& error);

// The "Synthetic EEG:" and "Measures:" sections of a usage text.
std::string syntheticOptionsUsage();
std::string measureOptionsUsage();

}  // namespace eegsim
