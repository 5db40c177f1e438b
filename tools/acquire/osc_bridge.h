#pragma once
// From what the OSC input has gathered to frames of host variables, once
// per update: raw samples are analysed a hop at a time, paced by their count
// (a burst of packets gives several ticks at once, a gap none, and the
// spectrum sees the signal as it was sampled); band Values sent by the
// device give one tick per update interval; and when nothing has come for
// 2 s the last frame is held with the artifact raised.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/acquire/acquisition.h"
#include "tools/acquire/osc_packet_handler.h"

namespace eegsim {

struct OscBridgeSettings {
    double sampleRate = 256.0;  // the raw samples' rate (--osc-rate)
    bool preferBands = false;   // --osc-bands: the device's band Values win
};

class OscBridge {
public:
    enum class Mode { Waiting, Raw, Bands, Silent };

    OscBridge(OscPacketHandler& input, const AnalysisConfig& config, const OscBridgeSettings& settings, double start);

    // Computes the frames due at `now` (monotonic seconds) and hands each to
    // `emit`, oldest first.
    void update(double now, const std::function<void(const HostFrame&)>& emit);

    Mode mode() const { return mode_; }
    // Seconds since the last usable data (or the start).
    double silentFor(double now) const { return now - lastData_; }
    // The measured arrival rate of raw samples (per second, over the last
    // whole second), and whether it has been more than 10 % off the
    // expected rate for 5 s.
    double arrivalRate() const { return arrivalRate_; }
    bool rateOff() const { return rateOff_; }
    const HostFrame& frame() const { return frame_; }

    static constexpr double kSilenceSeconds = 2.0;
    // A blink or jaw clench holds the artifact this long.
    static constexpr double kReportedArtifactSeconds = 0.5;

private:
    void measureRate(double now);

    OscPacketHandler& input_;
    AnalysisConfig config_;
    OscBridgeSettings settings_;
    Acquisition acquisition_;
    Mode mode_ = Mode::Waiting;
    HostFrame frame_;
    std::vector<double> left_, right_;
    double lastData_;
    double nextBandTick_ = 0.0;
    // Arrival rate: the left sensor's sample total at the start of the
    // current second, and since when the rate has been off.
    double rateSecond_;
    uint64_t rateCount_ = 0;
    double arrivalRate_ = 0.0;
    double offSince_ = -1.0;
    bool rateOff_ = false;
};

const char* modeName(OscBridge::Mode mode);

}  // namespace eegsim
