#pragma once
// The running statistics of one band on one side: damped value, mean and
// standard deviation, thresholds, time over threshold, hits and the modal
// peak frequency. Works on the published words (0.1 µV, 0.1 Hz) so that
// the sums are exact.
#include <cstdint>
#include <vector>

namespace eegsim {

struct BandStatisticsSettings {
    std::size_t windowTicks;      // running window length
    double dampingFactor;         // per tick, 1 - exp(-dt / tau)
    double thresholdDeviations;
    std::size_t thresholdPeriodTicks;
    bool thresholdFixed;
    int fixedThreshold;
    std::size_t spectrumBins;     // for the histogram of peak bins
};

struct BandStatisticsOutput {
    int16_t dampedValue = 0;
    int16_t mean = 0;
    int16_t standardDeviation = 0;
    int16_t threshold = 0;
    int16_t nextThreshold = 0;
    int16_t percentOver = 0;
    int16_t hits = 0;
    int16_t mode = 0;
    std::size_t modalBin = 0;
};

class BandStatistics {
public:
    explicit BandStatistics(const BandStatisticsSettings& settings);
    // One tick: the band's Value word and the bin of its spectral peak.
    // During an artifact the statistics hold still and the band counts as
    // not over its threshold.
    const BandStatisticsOutput& update(int16_t value, std::size_t peakBin, bool artifact);
    const BandStatisticsOutput& output() const { return out_; }

private:
    BandStatisticsSettings settings_;
    BandStatisticsOutput out_;
    bool started_ = false;
    double damped_ = 0.0;
    std::vector<int16_t> values_;
    std::vector<uint8_t> over_;
    std::vector<std::size_t> peaks_;
    std::vector<int> peakCounts_;
    std::size_t filled_ = 0;
    std::size_t next_ = 0;
    int64_t sum_ = 0;
    int64_t sumSquares_ = 0;
    int overCount_ = 0;
    std::size_t ticks_ = 0;
    int hits_ = 0;
};

}  // namespace eegsim
