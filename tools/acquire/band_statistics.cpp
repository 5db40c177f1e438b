#include "tools/acquire/band_statistics.h"

#include <algorithm>
#include <cmath>

#include "tools/acquire/host_variables.h"

namespace eegsim {

BandStatistics::BandStatistics(const BandStatisticsSettings& settings)
    : settings_(settings),
      values_(std::max<std::size_t>(settings.windowTicks, 1)),
      over_(values_.size()),
      peaks_(values_.size()),
      peakCounts_(settings.spectrumBins + 1, 0) {
    settings_.windowTicks = values_.size();
    settings_.thresholdPeriodTicks = std::max<std::size_t>(settings.thresholdPeriodTicks, 1);
    if (settings_.thresholdFixed) {
        out_.threshold = toWord(settings_.fixedThreshold);
        out_.nextThreshold = out_.threshold;
    }
}

const BandStatisticsOutput& BandStatistics::update(int16_t value, std::size_t peakBin, bool artifact) {
    if (!started_) {
        damped_ = value;
        started_ = true;
    } else {
        damped_ += (value - damped_) * settings_.dampingFactor;
    }
    out_.dampedValue = toWord(damped_);
    peakBin = std::min(peakBin, peakCounts_.size() - 1);

    // Compared with the threshold of the ticks before; the very first tick
    // has none unless it is fixed.
    bool haveThreshold = settings_.thresholdFixed || ticks_ > 0;
    bool over = !artifact && haveThreshold && value > out_.threshold;
    if (!artifact) {
        // Slide the running window by one tick.
        if (filled_ == values_.size()) {
            int16_t old = values_[next_];
            sum_ -= old;
            sumSquares_ -= static_cast<int64_t>(old) * old;
            overCount_ -= over_[next_];
            --peakCounts_[peaks_[next_]];
        } else {
            ++filled_;
        }
        values_[next_] = value;
        over_[next_] = over ? 1 : 0;
        peaks_[next_] = peakBin;
        sum_ += value;
        sumSquares_ += static_cast<int64_t>(value) * value;
        overCount_ += over ? 1 : 0;
        ++peakCounts_[peakBin];
        next_ = (next_ + 1) % values_.size();

        const double n = static_cast<double>(filled_);
        double mean = static_cast<double>(sum_) / n;
        double variance = std::max(0.0, static_cast<double>(sumSquares_) / n - mean * mean);
        double deviation = std::sqrt(variance);
        out_.mean = toWord(mean);
        out_.standardDeviation = toWord(deviation);
        out_.percentOver = toWord(100.0 * overCount_ / n);
        // Most frequent peak bin; the lower frequency wins a tie.
        out_.modalBin = static_cast<std::size_t>(
            std::max_element(peakCounts_.begin(), peakCounts_.end()) - peakCounts_.begin());

        if (!settings_.thresholdFixed) {
            out_.nextThreshold = toWord(mean + settings_.thresholdDeviations * deviation);
            // Until the first period is over the threshold follows the
            // statistics as they form; after that it moves once a period.
            if (ticks_ < settings_.thresholdPeriodTicks || ticks_ % settings_.thresholdPeriodTicks == 0)
                out_.threshold = out_.nextThreshold;
        }
        ++ticks_;
    }
    if (over && out_.mode == 0) hits_ = (hits_ + 1) % 32768;
    out_.mode = over ? 1 : 0;
    out_.hits = static_cast<int16_t>(hits_);
    return out_;
}

}  // namespace eegsim
