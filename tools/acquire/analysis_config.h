#pragma once
// Settings of the band measures (see docs/host-variables.md for what each
// published value means).
#include <optional>

#include "tools/acquire/host_variables.h"

namespace eegsim {

struct BandRange {
    double low;   // Hz, inclusive
    double high;  // Hz, exclusive
};

struct AnalysisConfig {
    // Updates per second (one frame of host variables each).
    double tickRate = 32.0;
    // Length of the sliding FFT window in seconds.
    double windowSeconds = 2.0;
    BandRange bands[kBands] = {{1, 4},   {4, 8},   {8, 12}, {12, 15}, {15, 20},
                               {20, 30}, {30, 45}, {8, 10}, {10, 12}};
    // Time constant of DampedValue in seconds.
    double dampingSeconds = 1.0;
    // Length of the running window of Mean, StandardDeviation,
    // PercentTimeOverThreshold and ModalFrequency in seconds.
    double statisticsSeconds = 30.0;
    // NextThreshold = Mean + thresholdDeviations x StandardDeviation.
    double thresholdDeviations = 0.5;
    // Threshold takes over NextThreshold this often (seconds).
    double thresholdPeriodSeconds = 10.0;
    // Fixed thresholds per band in the published unit (0.1 µV).
    std::optional<int> fixedThreshold[kBands];
    // Artifact when a side deviates more than this from its window mean (µV).
    double artifactLimit = 100.0;
    // Averaging time of the cross spectra for Coher and Phase in seconds.
    double coherenceSeconds = 4.0;
    // How long an event's Flag stays 1 after the event (seconds).
    double eventHoldSeconds = 0.3;
};

}  // namespace eegsim
