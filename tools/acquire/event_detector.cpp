#include "tools/acquire/event_detector.h"

#include <algorithm>

namespace eegsim {

void EventDetector::fire(int event, int16_t valueA) {
    int i = event - 1;
    count_[i] = (count_[i] + 1) % 32768;
    valueA_[i] = valueA;
    hold_[i] = holdTicks_ + 1;  // counted down below, this tick included
}

void EventDetector::update(HostFrame& frame, bool artifact, int16_t artifactPeak, bool measuring) {
    // Both artifact events carry the artifact's largest size so far.
    if (artifact && !artifact_) {
        fire(kArtifactStartEvent, artifactPeak);
    } else if (artifact) {
        valueA_[kArtifactStartEvent - 1] = std::max(valueA_[kArtifactStartEvent - 1], artifactPeak);
    } else if (artifact_) {
        fire(kArtifactEndEvent, valueA_[kArtifactStartEvent - 1]);
    }
    artifact_ = artifact;

    if (measuring && !artifact) {
        for (int e = 0; e < 7; ++e) {
            const Band band = kEventBands[e];
            int value = (frame.band[0][band][Value] + frame.band[1][band][Value]) / 2;
            int threshold = (frame.band[0][band][Threshold] + frame.band[1][band][Threshold]) / 2;
            bool above = value > threshold;
            if (started_[e] && above != above_[e]) fire(above ? 2 * e + 1 : 2 * e + 2, static_cast<int16_t>(value));
            above_[e] = above;
            started_[e] = true;
        }
    }

    for (int i = 0; i < kEvents; ++i) {
        if (hold_[i] > 0) --hold_[i];
        frame.eventValA[i] = valueA_[i];
        frame.eventValB[i] = static_cast<int16_t>(count_[i]);
        frame.eventFlag[i] = hold_[i] > 0 ? 1 : 0;
    }
}

}  // namespace eegsim
