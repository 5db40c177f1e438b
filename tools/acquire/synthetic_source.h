#pragma once
// A synthetic two-hemisphere EEG: 1/f background, an alpha rhythm that waxes
// and wanes and follows eyes-closed / eyes-open blocks, theta and beta
// activity, and blink artifacts. The same seed gives the same signal,
// whatever chunk sizes it is read in.
#include <cstdint>
#include <random>
#include <vector>

#include "tools/acquire/signal_source.h"

namespace eegsim {

struct SyntheticConfig {
    double sampleRate = 256.0;
    uint64_t seed = 1;
    // Background: 1/f noise, RMS in microvolts (0 switches it off).
    double backgroundRms = 6.0;
    // Alpha: peak amplitude in microvolts with eyes closed and eyes open.
    double alphaFrequency = 10.0;
    double alphaClosedAmplitude = 30.0;
    double alphaOpenAmplitude = 8.0;
    // Slow waxing and waning of alpha (0 = steady amplitude) and of its
    // frequency (maximum drift in Hz).
    double alphaWaxWane = 0.35;
    double alphaDrift = 0.3;
    // Eyes blocks in seconds; the session starts with eyes open.
    // closedSeconds = 0 keeps the eyes closed all the time.
    double openSeconds = 10.0;
    double closedSeconds = 20.0;
    // Theta and beta: frequency in Hz, peak amplitude in microvolts.
    double thetaFrequency = 6.0;
    double thetaAmplitude = 8.0;
    double betaFrequency = 18.0;
    double betaAmplitude = 4.0;
    // Right-side differences: alpha amplitude factor (asymmetry) and phase
    // lag of the rhythms in degrees; share of the background common to both
    // sides (coherence).
    double rightAlphaFactor = 1.15;
    double rightPhaseLagDegrees = 12.0;
    double backgroundShared = 0.6;
    // Blinks: average number per minute while the eyes are open, and
    // blinks at fixed times (seconds); peak amplitude in microvolts.
    double blinksPerMinute = 8.0;
    std::vector<double> blinkTimes;
    double blinkAmplitude = 180.0;
};

class SyntheticSource : public SignalSource {
public:
    explicit SyntheticSource(const SyntheticConfig& config);
    double sampleRate() const override { return config_.sampleRate; }
    std::size_t read(double* left, double* right, std::size_t count) override;

    // Eyes state at `seconds` from the start: 1 = closed, 0 = open, smooth between.
    double eyesClosed(double seconds) const;

private:
    double gaussian();
    double uniform();
    double pink(double white, double* state);
    void sample(double* left, double* right);

    SyntheticConfig config_;
    std::mt19937_64 random_;
    uint64_t sampleIndex_ = 0;
    double sharedPink_[7] = {};
    double leftPink_[7] = {};
    double rightPink_[7] = {};
    double pinkScale_ = 1.0;
    // Slowly wandering modulators (random walks pulled back to 0).
    double alphaModulation_ = 0.0;
    double thetaModulation_ = 0.0;
    double frequencyDrift_ = 0.0;
    double alphaPhase_ = 0.0;
    double thetaPhase_ = 0.0;
    double betaPhase_ = 0.0;
    // Blinks: start times (in samples) of blinks in progress or to come.
    std::vector<uint64_t> blinkStarts_;
    std::size_t nextScheduledBlink_ = 0;
};

}  // namespace eegsim
