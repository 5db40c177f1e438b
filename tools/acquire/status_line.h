#pragma once
// The one-line status shown while the stand-in runs.
#include <string>

#include "tools/acquire/host_variables.h"

namespace eegsim {

// e.g. "  12.5 s  Alpha L 23.4 R 25.1 uV (thr 20.1 21.0)  Theta L 8.0 R 7.9 uV (thr 7.5 7.4)  artifact no"
std::string formatStatus(double seconds, const HostFrame& frame);

}  // namespace eegsim
