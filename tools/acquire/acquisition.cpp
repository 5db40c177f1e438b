#include "tools/acquire/acquisition.h"

#include <algorithm>
#include <cmath>

namespace eegsim {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::size_t ticksFor(double seconds, double tickRate) {
    return std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(seconds * tickRate)));
}

double smoothingFactor(double seconds, double tickRate) {
    if (seconds <= 0.0) return 1.0;
    return 1.0 - std::exp(-1.0 / (seconds * tickRate));
}

}  // namespace

Acquisition::Acquisition(const AnalysisConfig& config, double sampleRate)
    : config_(config),
      sampleRate_(sampleRate),
      windowSize_(std::max<std::size_t>(16, static_cast<std::size_t>(std::lround(config.windowSeconds * sampleRate)))),
      spectrum_(windowSize_, sampleRate),
      coherenceFactor_(smoothingFactor(config.coherenceSeconds, config.tickRate)),
      events_(ticksFor(config.eventHoldSeconds, config.tickRate)) {
    for (int side = 0; side < kSides; ++side) {
        window_[side].assign(windowSize_, 0.0);
        averagePower_[side].assign(spectrum_.bins(), 0.0);
    }
    averageCross_.assign(spectrum_.bins(), {});
    for (int side = 0; side < kSides; ++side) {
        for (int band = 0; band < kBands; ++band) {
            BandStatisticsSettings settings{};
            settings.windowTicks = ticksFor(config.statisticsSeconds, config.tickRate);
            settings.dampingFactor = smoothingFactor(config.dampingSeconds, config.tickRate);
            settings.thresholdDeviations = config.thresholdDeviations;
            settings.thresholdPeriodTicks = ticksFor(config.thresholdPeriodSeconds, config.tickRate);
            settings.thresholdFixed = config.fixedThreshold[band].has_value();
            settings.fixedThreshold = config.fixedThreshold[band].value_or(0);
            settings.spectrumBins = spectrum_.bins();
            statistics_.emplace_back(settings);
        }
    }
}

std::size_t Acquisition::samplesForNextTick() const {
    auto at = [&](uint64_t tick) {
        return static_cast<std::size_t>(std::floor(static_cast<double>(tick) * sampleRate_ / config_.tickRate + 1e-9));
    };
    return at(ticks_ + 1) - at(ticks_);
}

void Acquisition::push(std::vector<double>& window, const double* samples, std::size_t count) {
    if (count >= window.size()) {
        std::copy(samples + (count - window.size()), samples + count, window.begin());
        return;
    }
    std::copy(window.begin() + static_cast<std::ptrdiff_t>(count), window.end(), window.begin());
    std::copy(samples, samples + count, window.end() - static_cast<std::ptrdiff_t>(count));
}

void Acquisition::measureBand(int band, bool artifact) {
    const BandRange range = config_.bands[band];
    std::size_t first = spectrum_.binAt(range.low);
    std::size_t end = std::max(first, spectrum_.binAt(range.high));
    if (first == 0 && end > 0) first = 1;  // the window mean is removed: skip DC
    const double binHz = spectrum_.binHz();

    std::complex<double> crossSum = 0.0;
    double powerSum[kSides] = {};
    for (std::size_t k = first; k < end; ++k) {
        crossSum += averageCross_[k];
        powerSum[0] += averagePower_[0][k];
        powerSum[1] += averagePower_[1][k];
    }
    double coherence = (powerSum[0] > 0.0 && powerSum[1] > 0.0) ? std::norm(crossSum) / (powerSum[0] * powerSum[1]) : 0.0;
    double phase = std::abs(crossSum) > 0.0 ? std::arg(crossSum) * 180.0 / kPi : 0.0;

    for (int side = 0; side < kSides; ++side) {
        const std::vector<double>& power = spectrum_.power(side);
        double meanSquare = 0.0;
        std::size_t peak = first;
        for (std::size_t k = first; k < end; ++k) {
            meanSquare += power[k];
            if (power[k] > power[peak]) peak = k;
        }
        // Peak position refined by a parabola through the peak bin and its
        // neighbours (on the amplitude), kept inside the band.
        double peakHz = static_cast<double>(peak) * binHz;
        if (end > first && peak > 0 && peak + 1 < power.size()) {
            double a = std::sqrt(power[peak - 1]), b = std::sqrt(power[peak]), c = std::sqrt(power[peak + 1]);
            double denominator = a - 2.0 * b + c;
            if (denominator < 0.0) peakHz += 0.5 * (a - c) / denominator * binHz;
        }
        peakHz = std::clamp(peakHz, range.low, range.high);

        int16_t* out = frame_.band[side][band];
        out[Value] = toWord(std::sqrt(meanSquare) * 10.0);
        out[PeakFrequency] = end > first ? toWord(peakHz * 10.0) : 0;
        if (band != Resrv) {
            out[Coher] = toWord(coherence * 100.0);
            out[Phase] = toWord(side == 0 ? phase : -phase);
        }
        applyStatistics(side, band, peak, end > first, artifact);
    }
}

void Acquisition::applyStatistics(int side, int band, std::size_t peakBin, bool hasPeak, bool artifact) {
    const BandRange range = config_.bands[band];
    int16_t* out = frame_.band[side][band];
    const BandStatisticsOutput& stats = statistics_[side * kBands + band].update(out[Value], peakBin, artifact);
    if (band != Resrv) out[DampedValue] = stats.dampedValue;
    out[Mean] = stats.mean;
    out[StandardDeviation] = stats.standardDeviation;
    out[Threshold] = stats.threshold;
    out[NextThreshold] = stats.nextThreshold;
    out[PercentTimeOverThreshold] = stats.percentOver;
    out[Hits] = stats.hits;
    out[Mode] = stats.mode;
    out[ModalFrequency] =
        hasPeak ? toWord(std::clamp(stats.modalBin * spectrum_.binHz(), range.low, range.high) * 10.0) : 0;
}

const HostFrame& Acquisition::tickWithValues(const double (&values)[kSides][kBands], bool artifact) {
    frame_.artifact = artifact ? 1 : 0;
    artifactPeak_ = 0.0;
    for (int side = 0; side < kSides; ++side) {
        for (int band = 0; band < kBands; ++band) {
            int16_t* out = frame_.band[side][band];
            const double value = values[side][band];
            out[Value] = std::isfinite(value) ? toWord(value * 10.0) : 0;
            out[PeakFrequency] = 0;
            if (band != Resrv) out[Coher] = out[Phase] = 0;
            applyStatistics(side, band, 0, false, artifact);
        }
    }
    events_.update(frame_, artifact, 0, true);
    ++ticks_;
    return frame_;
}

const HostFrame& Acquisition::tick(const double* left, const double* right, std::size_t count, bool reportedArtifact) {
    push(window_[0], left, count);
    push(window_[1], right, count);
    samplesSeen_ += count;
    spectrum_.analyse(window_[0].data(), window_[1].data());

    // Cross-spectral averages over time for coherence and phase.
    double factor = averagesStarted_ ? coherenceFactor_ : 1.0;
    averagesStarted_ = true;
    for (std::size_t k = 0; k < spectrum_.bins(); ++k) {
        for (int side = 0; side < kSides; ++side)
            averagePower_[side][k] += (spectrum_.power(side)[k] - averagePower_[side][k]) * factor;
        averageCross_[k] += (spectrum_.cross()[k] - averageCross_[k]) * factor;
    }

    // Artifact: a side strays further from its window mean than the limit.
    artifactPeak_ = 0.0;
    for (int side = 0; side < kSides; ++side) {
        const std::vector<double>& w = window_[side];
        std::size_t valid = std::min(samplesSeen_, w.size());
        if (valid == 0) continue;
        double mean = 0.0;
        for (std::size_t n = w.size() - valid; n < w.size(); ++n) mean += w[n];
        mean /= static_cast<double>(valid);
        for (std::size_t n = w.size() - valid; n < w.size(); ++n)
            artifactPeak_ = std::max(artifactPeak_, std::abs(w[n] - mean));
    }
    const bool artifact = artifactPeak_ > config_.artifactLimit || reportedArtifact;
    frame_.artifact = artifact ? 1 : 0;

    // While the first window fills the values are computed from part of a
    // window; the statistics wait for a full one.
    const bool measuring = samplesSeen_ >= windowSize_;
    for (int band = 0; band < kBands; ++band) measureBand(band, artifact || !measuring);
    events_.update(frame_, artifact, toWord(artifactPeak_ * 10.0), measuring);
    ++ticks_;
    return frame_;
}

}  // namespace eegsim
