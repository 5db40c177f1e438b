#pragma once
// What the OSC datagrams say, gathered for the analysis: the raw samples of
// the two sensors in use (queued, so that the analysis is paced by their
// count), the latest band Values per sensor, the artifacts the device
// reports, and counts of everything that arrived and everything refused.
// Knows nothing of sockets: it is handed each datagram with its arrival time.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "tools/acquire/host_variables.h"
#include "tools/acquire/osc_map.h"

namespace eegsim {

struct OscCounts {
    uint64_t packets = 0;     // datagrams received
    uint64_t malformed = 0;   // not OSC, or a truncated message or bundle
    uint64_t wrongType = 0;   // messages with an argument in use that is not a number
    uint64_t notFinite = 0;   // messages with NaN or infinite numbers in use
    uint64_t unknown = 0;     // messages to addresses no rule names
    uint64_t oversized = 0;   // datagrams longer than kMaxOscDatagram
    uint64_t dropped = 0;     // samples beyond what the analysis keeps waiting
    uint64_t bad() const { return malformed + wrongType + notFinite + oversized + dropped; }
};

// The longest datagram taken: no EEG sender needs more, and a longer one is
// refused whole (the listener reads datagrams up to 64 KiB uncut).
constexpr std::size_t kMaxOscDatagram = 4096;

class OscPacketHandler {
public:
    // `left` and `right` name the sensors of the two sides; `sampleRate` the
    // rate of the raw samples (it bounds the sample queues to 4 s).
    OscPacketHandler(const OscMap& map, const std::string& left, const std::string& right, double sampleRate);

    void handle(const char* data, std::size_t size, double now);

    // Raw samples waiting on both sides; take() removes the oldest `count`.
    std::size_t samplesWaiting() const;
    void takeSamples(std::size_t count, double* left, double* right);
    void dropSamples();
    // Raw samples the left side has received in all.
    uint64_t leftSamples() const { return leftSamples_; }

    // Arrival times (monotonic seconds; -1 = never) of the last raw sample
    // for a side in use, of the last band Value for a side in use, and of
    // the last artifact the device reported.
    double lastSampleTime() const { return lastSampleTime_; }
    double lastBandTime() const { return lastBandTime_; }
    double lastArtifactTime() const { return lastArtifactTime_; }
    // The device reports a bad electrode fit on a sensor in use.
    bool badFit() const { return badFit_[0] || badFit_[1]; }
    // The latest band Value of a side in µV, or NaN when none came.
    double bandValue(int side, int band) const;

    const OscCounts& counts() const { return counts_; }
    // Sensors that have rules, and the raw samples each has received.
    const std::vector<std::string>& sensors() const { return sensors_; }
    const std::vector<uint64_t>& samplesPerSensor() const { return sampleTotals_; }
    // Unknown addresses not yet reported (the first 5 only, each once).
    std::vector<std::string> takeUnknownAddresses();

private:
    struct Band {
        double value;
        double time;
    };
    // One argument of a message, arrays flattened.
    struct Argument {
        double value;
        enum State : uint8_t { Number, NotNumber, NotFinite } state;
    };
    void handleElement(const char* data, std::size_t size, double now, int depth);
    void applyMessage(const char* address, const std::vector<Argument>& arguments, double now);
    // The number a rule reads, counting what is wrong with it.
    bool numberAt(const std::vector<Argument>& arguments, std::size_t position, double& value);

    OscMap map_;
    std::vector<std::size_t> ruleSensor_;  // index into sensors_, or npos
    std::vector<std::string> sensors_;
    std::vector<uint64_t> sampleTotals_;
    std::size_t sideSensor_[kSides];
    std::deque<double> queue_[kSides];
    double held_[kSides] = {};
    uint64_t leftSamples_ = 0;
    std::size_t queueLimit_;
    std::vector<Band> bands_;  // (sensor + 1) * kBands + band; sensor -1 = every sensor
    bool badFit_[kSides] = {};
    double lastSampleTime_ = -1.0;
    double lastBandTime_ = -1.0;
    double lastArtifactTime_ = -1.0;
    OscCounts counts_;
    std::vector<std::string> unknownSeen_;
    std::vector<std::string> unknownToReport_;
    std::vector<Argument> arguments_;  // reused for every message
    bool sampled_[kSides] = {};        // per message: the side got a sample
    bool wrongType_ = false;           // per message: an argument a rule reads is not a number
    bool notFinite_ = false;           // ... is NaN or infinite
};

}  // namespace eegsim
