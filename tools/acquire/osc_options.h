#pragma once
// The command-line settings of live OSC input (--osc and the options after it).
#include <string>

namespace eegsim {

struct OscOptions {
    // As given: checked when the socket opens, so that a bad port or address
    // is reported like one in use (exit code 1).
    std::string port;
    std::string bindAddress;  // empty = every interface
    double sampleRate = 256.0;
    bool preferBands = false;
    std::string mapPath;  // empty = Muse's addresses
};

}  // namespace eegsim
