// Any datagram through the OSC packet handler, with Muse's rules and with a
// mapping of wildcards, arrays and every kind of rule: it counts the datagram
// once and never queues more samples on one side than the other.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/acquire/osc_packet_handler.h"

using namespace eegsim;

namespace {

const OscMap& mappedRules() {
    static const OscMap map = [] {
        OscMap parsed;
        std::string error;
        if (!parseOscMap("/*/raw 1 sample A scale=0.5\n/*/raw 2 sample B\n/b* 1 band Alpha all power\n"
                         "/b*/x 2 band Theta A amplitude args=2\n/art 1 artifact\n/fit 1 fit B\n/i* ignore\n",
                         "fuzz", parsed, error))
            std::abort();
        return parsed;
    }();
    return map;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static OscPacketHandler muse(museOscMap(), "AF7", "AF8", 256.0);
    static OscPacketHandler mapped(mappedRules(), "A", "B", 256.0);
    for (OscPacketHandler* handler : {&muse, &mapped}) {
        const uint64_t before = handler->counts().packets;
        handler->handle(reinterpret_cast<const char*>(data), size, 1.0);
        if (handler->counts().packets != before + 1) std::abort();
        const std::size_t waiting = handler->samplesWaiting();
        double left[2048], right[2048];
        if (waiting > 2048) std::abort();  // the queues are bounded (4 s at 256 Hz)
        handler->takeSamples(waiting, left, right);
        for (std::size_t i = 0; i < waiting; ++i) {
            if (!std::isfinite(left[i]) || !std::isfinite(right[i])) std::abort();
        }
        handler->dropSamples();
        for (int band = 0; band < kBands; ++band) {
            const double value = handler->bandValue(0, band);
            if (!std::isnan(value) && !(value >= 0.0 && std::isfinite(value))) std::abort();
        }
    }
    return 0;
}
