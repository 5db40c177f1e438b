#pragma once
// A two-channel EEG source in microvolts: left and right hemisphere.
#include <cstddef>

namespace eegsim {

class SignalSource {
public:
    virtual ~SignalSource() = default;
    // Samples per second of both channels.
    virtual double sampleRate() const = 0;
    // Fills up to `count` samples of each side; returns how many it wrote.
    // Fewer than `count` means the source has ended.
    virtual std::size_t read(double* left, double* right, std::size_t count) = 0;
};

}  // namespace eegsim
