#include "tools/acquire/source_frames.h"

namespace eegsim {

SourceFrames::SourceFrames(SignalSource& source, const AnalysisConfig& config)
    : source_(source), tickRate_(config.tickRate), acquisition_(config, source.sampleRate()) {}

bool SourceFrames::next() {
    const std::size_t count = acquisition_.samplesForNextTick();
    left_.resize(count);
    right_.resize(count);
    if (source_.read(left_.data(), right_.data(), count) < count) return false;
    acquisition_.tick(left_.data(), right_.data(), count);
    return true;
}

double SourceFrames::nextSeconds() const { return static_cast<double>(acquisition_.ticks() + 1) / tickRate_; }

}  // namespace eegsim
