#include "tools/acquire/osc_bridge.h"

#include <algorithm>
#include <cmath>

namespace eegsim {
namespace {

bool within(double now, double since, double seconds) { return since >= 0.0 && now - since < seconds; }

}  // namespace

OscBridge::OscBridge(OscPacketHandler& input, const AnalysisConfig& config, const OscBridgeSettings& settings,
                     double start)
    : input_(input),
      config_(config),
      settings_(settings),
      acquisition_(config, settings.sampleRate),
      lastData_(start),
      rateSecond_(start) {}

void OscBridge::update(double now, const std::function<void(const HostFrame&)>& emit) {
    const bool reported = within(now, input_.lastArtifactTime(), kReportedArtifactSeconds) || input_.badFit();
    const bool rawFresh = within(now, input_.lastSampleTime(), kSilenceSeconds);
    const bool bandsFresh = within(now, input_.lastBandTime(), kSilenceSeconds);
    measureRate(now);

    if (bandsFresh && (settings_.preferBands || !rawFresh)) {
        // One tick per update interval, on the clock; after a pause the
        // schedule starts again rather than catching up.
        if (mode_ != Mode::Bands || now - nextBandTick_ > 1.0) nextBandTick_ = now;
        mode_ = Mode::Bands;
        input_.dropSamples();
        double values[kSides][kBands];
        for (int side = 0; side < kSides; ++side)
            for (int band = 0; band < kBands; ++band) values[side][band] = input_.bandValue(side, band);
        while (nextBandTick_ <= now) {
            frame_ = acquisition_.tickWithValues(values, reported);
            emit(frame_);
            nextBandTick_ += 1.0 / config_.tickRate;
        }
        lastData_ = input_.lastBandTime();
        return;
    }
    if (rawFresh || input_.samplesWaiting() >= acquisition_.samplesForNextTick()) {
        mode_ = Mode::Raw;
        lastData_ = std::max(lastData_, input_.lastSampleTime());
        for (;;) {
            const std::size_t count = acquisition_.samplesForNextTick();
            if (input_.samplesWaiting() < count) break;
            left_.resize(count);
            right_.resize(count);
            input_.takeSamples(count, left_.data(), right_.data());
            frame_ = acquisition_.tick(left_.data(), right_.data(), count, reported);
            emit(frame_);
        }
        return;
    }
    if (now - lastData_ >= kSilenceSeconds) {
        // Nothing for a while: the values hold, flagged as an artifact so
        // that no script rewards stale values.
        mode_ = Mode::Silent;
        frame_.artifact = 1;
        emit(frame_);
    }
}

void OscBridge::measureRate(double now) {
    if (now - rateSecond_ < 1.0) return;
    const uint64_t count = input_.leftSamples();
    arrivalRate_ = static_cast<double>(count - rateCount_) / (now - rateSecond_);
    const bool off = mode_ == Mode::Raw && std::abs(arrivalRate_ - settings_.sampleRate) > 0.1 * settings_.sampleRate;
    if (!off) offSince_ = -1.0;
    if (off && offSince_ < 0.0) offSince_ = rateSecond_;
    rateOff_ = off && now - offSince_ >= 5.0 - 1e-9;
    rateCount_ = count;
    rateSecond_ = now;
}

const char* modeName(OscBridge::Mode mode) {
    switch (mode) {
    case OscBridge::Mode::Waiting: return "waiting";
    case OscBridge::Mode::Raw: return "raw EEG";
    case OscBridge::Mode::Bands: return "band powers";
    case OscBridge::Mode::Silent: return "no data";
    }
    return "";
}

}  // namespace eegsim
