#pragma once
// Which OSC messages carry what: an address (with '*' wildcards) and an
// argument position, mapped to a sensor's raw samples, to a sensor's band
// Value, to the artifact, to a sensor's electrode fit, or marked as known but
// unused. Muse's addresses are built in; other senders come from a mapping
// file (--osc-map), one rule a line:
//   ADDRESS POSITION sample SENSOR [scale=X] [args=N]
//   ADDRESS POSITION band BAND SENSOR|all amplitude|power|bels [scale=X] [args=N]
//   ADDRESS POSITION artifact [args=N]
//   ADDRESS POSITION fit SENSOR [args=N]
//   ADDRESS ignore
// POSITION counts the message's arguments from 1, arrays flattened. `args=N`
// limits a rule to messages with exactly N arguments. '#' starts a comment.
#include <string>
#include <vector>

namespace eegsim {

struct OscRule {
    enum class Kind { Sample, Band, Artifact, Fit, Ignore };
    // How a band rule's number becomes a Value in µV: the amplitude itself,
    // the square root of a power (µV²), or the square root of 10 to a
    // power in bels (log10 of µV²).
    enum class Conversion { Amplitude, Power, Bels };

    std::string address;  // '*' matches any run of characters
    std::size_t position = 0;  // from 0
    Kind kind = Kind::Ignore;
    std::string sensor;  // Sample, Band ("" = every sensor), Fit
    int band = 0;        // Band
    Conversion conversion = Conversion::Amplitude;
    double scale = 1.0;
    int arguments = -1;  // only messages with this many arguments; -1 = any
};

struct OscMap {
    std::string name;  // for messages: "Muse" or the file's path
    std::vector<OscRule> rules;
};

// Parses a mapping file's text; false with "ORIGIN, line N: ..." in `error`.
bool parseOscMap(const std::string& text, const std::string& origin, OscMap& map, std::string& error);
bool loadOscMap(const std::string& path, OscMap& map, std::string& error);

// The built-in rules for Muse headbands (Mind Monitor, MuseIO).
const OscMap& museOscMap();

// Whether `address` matches `pattern`, whose '*' matches any run of characters.
bool addressMatches(const char* pattern, const char* address);

// The band Value in µV that a band rule's number stands for (NaN for a
// negative power or amplitude).
double bandRuleValue(const OscRule& rule, double number);

}  // namespace eegsim
