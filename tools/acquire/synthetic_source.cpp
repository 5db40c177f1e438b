#include "tools/acquire/synthetic_source.h"

#include <algorithm>
#include <cmath>

namespace eegsim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEyesRampSeconds = 1.0;
constexpr double kBlinkSeconds = 0.4;

// Paul Kellet's pink-noise filter: six one-pole sections fed by one white
// noise, flat to within a fraction of a decibel of 1/f over most of the band.
double kelletPink(double white, double* b) {
    b[0] = 0.99886 * b[0] + white * 0.0555179;
    b[1] = 0.99332 * b[1] + white * 0.0750759;
    b[2] = 0.96900 * b[2] + white * 0.1538520;
    b[3] = 0.86650 * b[3] + white * 0.3104856;
    b[4] = 0.55000 * b[4] + white * 0.5329522;
    b[5] = -0.7616 * b[5] - white * 0.0168980;
    double out = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + white * 0.5362;
    b[6] = white * 0.115926;
    return out;
}

double smoothRamp(double x) {
    x = std::clamp(x, 0.0, 1.0);
    return 0.5 - 0.5 * std::cos(kPi * x);
}

}  // namespace

SyntheticSource::SyntheticSource(const SyntheticConfig& config) : config_(config), random_(config.seed) {
    // The filter's output level for unit white noise, measured once on a
    // generator of its own so the signal's random sequence stays untouched.
    std::mt19937_64 probe(12345);
    double state[7] = {};
    double sum = 0.0;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        double white = (static_cast<double>(probe() >> 11) * 0x1.0p-53) * 2.0 - 1.0;
        double p = kelletPink(white * std::sqrt(3.0), state);
        if (i >= 20000) sum += p * p;
    }
    pinkScale_ = 1.0 / std::sqrt(sum / (n - 20000));
    std::sort(config_.blinkTimes.begin(), config_.blinkTimes.end());
}

double SyntheticSource::uniform() { return static_cast<double>(random_() >> 11) * 0x1.0p-53; }

double SyntheticSource::gaussian() {
    // Box-Muller on the raw generator, so the sequence is the same with
    // every standard library.
    double u1 = uniform();
    double u2 = uniform();
    return std::sqrt(-2.0 * std::log(1.0 - u1)) * std::cos(2.0 * kPi * u2);
}

double SyntheticSource::pink(double white, double* state) { return kelletPink(white, state) * pinkScale_; }

double SyntheticSource::eyesClosed(double seconds) const {
    if (config_.openSeconds <= 0.0) return 1.0;
    if (config_.closedSeconds <= 0.0) return 0.0;
    double period = config_.openSeconds + config_.closedSeconds;
    double u = std::fmod(seconds, period);
    if (u >= config_.openSeconds) return smoothRamp((u - config_.openSeconds) / kEyesRampSeconds);
    if (seconds < period) return 0.0;  // the session starts with eyes open
    return 1.0 - smoothRamp(u / kEyesRampSeconds);
}

void SyntheticSource::sample(double* left, double* right) {
    const double fs = config_.sampleRate;
    const double dt = 1.0 / fs;
    const double t = static_cast<double>(sampleIndex_) * dt;

    // Background: a common and a per-side 1/f part.
    double shared = pink(gaussian(), sharedPink_);
    double ownLeft = pink(gaussian(), leftPink_);
    double ownRight = pink(gaussian(), rightPink_);
    double s = std::clamp(config_.backgroundShared, 0.0, 1.0);
    double own = std::sqrt(1.0 - s * s);
    double backgroundLeft = config_.backgroundRms * (s * shared + own * ownLeft);
    double backgroundRight = config_.backgroundRms * (s * shared + own * ownRight);

    // Slow modulators: Ornstein-Uhlenbeck walks with unit spread.
    auto wander = [&](double& m, double tau) {
        m += -m * dt / tau + std::sqrt(2.0 / tau) * std::sqrt(dt) * gaussian();
    };
    wander(alphaModulation_, 2.0);
    wander(thetaModulation_, 3.0);
    wander(frequencyDrift_, 5.0);

    double closed = eyesClosed(t);
    double alphaAmplitude = config_.alphaOpenAmplitude +
                            (config_.alphaClosedAmplitude - config_.alphaOpenAmplitude) * closed;
    alphaAmplitude *= std::max(0.0, 1.0 + config_.alphaWaxWane * std::clamp(alphaModulation_, -2.0, 2.0));
    double thetaAmplitude = config_.thetaAmplitude * std::max(0.0, 1.0 + 0.3 * std::clamp(thetaModulation_, -2.0, 2.0));
    double alphaFrequency = config_.alphaFrequency + config_.alphaDrift * std::tanh(frequencyDrift_);

    auto advance = [&](double& phase, double frequency) {
        phase += 2.0 * kPi * frequency * dt;
        if (phase > 2.0 * kPi) phase -= 2.0 * kPi;
    };
    double lag = config_.rightPhaseLagDegrees * kPi / 180.0;
    double alphaLeft = alphaAmplitude * std::sin(alphaPhase_);
    double alphaRight = alphaAmplitude * config_.rightAlphaFactor * std::sin(alphaPhase_ - lag);
    double thetaLeft = thetaAmplitude * std::sin(thetaPhase_);
    double thetaRight = thetaAmplitude * std::sin(thetaPhase_ - lag);
    double betaLeft = config_.betaAmplitude * std::sin(betaPhase_);
    double betaRight = config_.betaAmplitude * 0.9 * std::sin(betaPhase_ - lag);
    advance(alphaPhase_, alphaFrequency);
    advance(thetaPhase_, config_.thetaFrequency);
    advance(betaPhase_, config_.betaFrequency);

    // Blinks: random ones while the eyes are open, plus the scheduled ones.
    double blinkChance = config_.blinksPerMinute / 60.0 * dt * (1.0 - closed);
    double draw = uniform();
    if (draw < blinkChance) blinkStarts_.push_back(sampleIndex_);
    while (nextScheduledBlink_ < config_.blinkTimes.size() &&
           config_.blinkTimes[nextScheduledBlink_] * fs <= static_cast<double>(sampleIndex_)) {
        blinkStarts_.push_back(sampleIndex_);
        ++nextScheduledBlink_;
    }
    const double blinkSamples = kBlinkSeconds * fs;
    double blink = 0.0;
    for (uint64_t start : blinkStarts_) {
        double x = static_cast<double>(sampleIndex_ - start) / blinkSamples;
        if (x < 1.0) blink += config_.blinkAmplitude * (0.5 - 0.5 * std::cos(2.0 * kPi * x));
    }
    blinkStarts_.erase(std::remove_if(blinkStarts_.begin(), blinkStarts_.end(),
                                      [&](uint64_t start) {
                                          return static_cast<double>(sampleIndex_ - start) >= blinkSamples;
                                      }),
                       blinkStarts_.end());

    *left = backgroundLeft + alphaLeft + thetaLeft + betaLeft + blink;
    *right = backgroundRight + alphaRight + thetaRight + betaRight + 0.9 * blink;
    ++sampleIndex_;
}

std::size_t SyntheticSource::read(double* left, double* right, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) sample(&left[i], &right[i]);
    return count;
}

}  // namespace eegsim
