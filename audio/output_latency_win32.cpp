#include "audio/output_latency.h"

namespace feltrix {

OutputLatency preferredOutputLatency() { return OutputLatency::Low; }

}  // namespace feltrix
