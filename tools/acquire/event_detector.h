#pragma once
// The sixteen events. Events 1 to 14 are threshold crossings of a band's
// Value averaged over both sides against its averaged Threshold (odd =
// upward, even = downward) for Alpha, Theta, Beta, Delta, Lobeta, Hibeta and
// Gamma; event 15 is the start of an artifact, event 16 its end.
#include <cstddef>
#include <cstdint>

#include "tools/acquire/host_variables.h"

namespace eegsim {

// The band of events 1..14 (event 2k-1 upward, 2k downward).
constexpr Band kEventBands[7] = {Alpha, Theta, Beta, Delta, Lobeta, Hibeta, Gamma};
constexpr int kArtifactStartEvent = 15;
constexpr int kArtifactEndEvent = 16;

class EventDetector {
public:
    explicit EventDetector(std::size_t holdTicks) : holdTicks_(holdTicks) {}
    // Reads Value and Threshold of `frame` and writes the event words.
    // `artifactPeak` is the artifact's size in the published unit.
    // `measuring` is false while the first window fills (no band events).
    void update(HostFrame& frame, bool artifact, int16_t artifactPeak, bool measuring);

private:
    void fire(int event, int16_t valueA);

    std::size_t holdTicks_;
    bool started_[7] = {};
    bool above_[7] = {};
    bool artifact_ = false;
    int count_[kEvents] = {};
    int16_t valueA_[kEvents] = {};
    std::size_t hold_[kEvents] = {};
};

}  // namespace eegsim
