#pragma once
// Turns two streams of EEG samples into one frame of host variables per
// tick: a sliding FFT window per side, the band measures, the artifact flag
// and the events.
#include <complex>
#include <cstddef>
#include <memory>
#include <vector>

#include "tools/acquire/analysis_config.h"
#include "tools/acquire/band_statistics.h"
#include "tools/acquire/event_detector.h"
#include "tools/acquire/host_variables.h"
#include "tools/acquire/power_spectrum.h"

namespace eegsim {

class Acquisition {
public:
    Acquisition(const AnalysisConfig& config, double sampleRate);

    // How many new samples per side the next tick takes (the rates need not
    // divide: the count varies so that the long-run pace is exact).
    std::size_t samplesForNextTick() const;
    // Takes the new samples and computes the frame of this tick. An artifact
    // the device reported (a blink, a bad electrode fit) joins the one
    // measured on the samples.
    const HostFrame& tick(const double* left, const double* right, std::size_t count, bool reportedArtifact = false);
    // A tick from band Values a device computed itself (µV per side and
    // band; NaN = not sent, published as 0): no spectrum, so no peak, modal
    // frequency, coherence or phase; the statistics, thresholds and events
    // follow from the Values as they do from computed ones.
    const HostFrame& tickWithValues(const double (&values)[kSides][kBands], bool artifact);

    const HostFrame& frame() const { return frame_; }
    uint64_t ticks() const { return ticks_; }
    double seconds() const { return static_cast<double>(ticks_) / config_.tickRate; }
    const Spectrum& spectrum() const { return spectrum_; }
    // Largest deviation from the window mean of either side, in µV.
    double artifactPeak() const { return artifactPeak_; }

private:
    void push(std::vector<double>& window, const double* samples, std::size_t count);
    void measureBand(int band, bool artifact);
    void applyStatistics(int side, int band, std::size_t peakBin, bool hasPeak, bool artifact);

    AnalysisConfig config_;
    double sampleRate_;
    std::size_t windowSize_;
    std::vector<double> window_[kSides];
    std::size_t samplesSeen_ = 0;
    Spectrum spectrum_;
    double coherenceFactor_;
    std::vector<double> averagePower_[kSides];
    std::vector<std::complex<double>> averageCross_;
    bool averagesStarted_ = false;
    std::vector<BandStatistics> statistics_;  // side * kBands + band
    EventDetector events_;
    HostFrame frame_;
    uint64_t ticks_ = 0;
    double artifactPeak_ = 0.0;
};

}  // namespace eegsim
