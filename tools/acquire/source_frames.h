#pragma once
// Frames of host variables computed from an EEG source, one per tick, pulled
// by the caller at its own pace (the stand-in paces them in real time, the
// renderer on its virtual clock).
#include <cstdint>
#include <vector>

#include "tools/acquire/acquisition.h"
#include "tools/acquire/signal_source.h"

namespace eegsim {

class SourceFrames {
public:
    SourceFrames(SignalSource& source, const AnalysisConfig& config);

    // Reads the next tick's samples and computes its frame; false when the
    // source has ended.
    bool next();

    const HostFrame& frame() const { return acquisition_.frame(); }
    // Ticks computed so far and the time of the latest one.
    uint64_t ticks() const { return acquisition_.ticks(); }
    double seconds() const { return acquisition_.seconds(); }
    // Time of the tick that next() computes.
    double nextSeconds() const;

private:
    SignalSource& source_;
    double tickRate_;
    Acquisition acquisition_;
    std::vector<double> left_, right_;
};

}  // namespace eegsim
