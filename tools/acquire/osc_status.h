#pragma once
// The status line of a live OSC session.
#include <string>
#include <utility>
#include <vector>

#include "tools/acquire/host_variables.h"
#include "tools/acquire/osc_packet_handler.h"

namespace eegsim {

struct OscStatus {
    double seconds = 0.0;
    int port = 0;
    std::string sender;  // "" before the first datagram
    std::string mode;    // "raw EEG", "band powers", ...
    double packetsPerSecond = 0.0;
    std::vector<std::pair<std::string, double>> samplesPerSecond;  // sensors that sent any
    OscCounts counts;
    double silentSeconds = -1.0;  // >= 0: nothing usable for this long
    double arrivalRate = 0.0;     // raw samples per second, when off
    double expectedRate = 0.0;
    bool rateOff = false;
};

// e.g. "  12.5 s  from 192.168.1.20:53211, raw EEG  22 packets/s  TP9 256 AF7 256 AF8 256 TP10 256 samples/s
//       bad 0  unknown 0  Alpha L 21.2 R 5.7 uV  Theta L 0.4 R 0.3 uV  artifact no"
std::string formatOscStatus(const OscStatus& status, const HostFrame& frame);

}  // namespace eegsim
