#include "tools/acquire/osc_session.h"

#include <algorithm>
#include <cmath>

#include "tools/acquire/osc_bridge.h"
#include "tools/acquire/osc_packet_handler.h"
#include "tools/acquire/osc_status.h"
#include "tools/acquire/tick_recording.h"

namespace eegsim {
namespace {

std::string leftSensor(const Options& options) {
    return options.edf.leftLabel.empty() ? "AF7" : options.edf.leftLabel;
}
std::string rightSensor(const Options& options) {
    return options.edf.rightLabel.empty() ? "AF8" : options.edf.rightLabel;
}

// Rates per second, from the totals at the start of each second.
class Rates {
public:
    explicit Rates(double start) : second_(start) {}
    void update(double now, const OscPacketHandler& input) {
        if (now - second_ < 1.0) return;
        const double span = now - second_;
        packets_ = static_cast<double>(input.counts().packets - packetTotal_) / span;
        packetTotal_ = input.counts().packets;
        const auto& totals = input.samplesPerSensor();
        sensorTotals_.resize(totals.size(), 0);
        samples_.clear();
        for (std::size_t i = 0; i < totals.size(); ++i) {
            if (totals[i] > 0)
                samples_.emplace_back(input.sensors()[i], static_cast<double>(totals[i] - sensorTotals_[i]) / span);
            sensorTotals_[i] = totals[i];
        }
        second_ = now;
    }
    double packets() const { return packets_; }
    const std::vector<std::pair<std::string, double>>& samples() const { return samples_; }

private:
    double second_;
    uint64_t packetTotal_ = 0;
    std::vector<uint64_t> sensorTotals_;
    double packets_ = 0.0;
    std::vector<std::pair<std::string, double>> samples_;
};

}  // namespace

bool openOscInput(const Options& options, OscInput& input, std::string& error) {
    if (options.osc.mapPath.empty()) {
        input.map = museOscMap();
    } else if (!loadOscMap(options.osc.mapPath, input.map, error)) {
        return false;
    }
    // A side whose sensor no rule names would never get a sample or Value.
    for (const std::string& sensor : {leftSensor(options), rightSensor(options)}) {
        bool named = false;
        std::string names;
        for (const OscRule& rule : input.map.rules) {
            named = named || rule.sensor == sensor || (rule.kind == OscRule::Kind::Band && rule.sensor.empty());
            if (!rule.sensor.empty() && names.find(" " + rule.sensor + ",") == std::string::npos)
                names += " " + rule.sensor + ",";
        }
        if (!named) {
            if (!names.empty()) names.pop_back();
            error = "no rule of " + input.map.name + " names the sensor " + sensor + " (it has" + names +
                    "): choose the sides with --left and --right";
            return false;
        }
    }
    input.listener = OscListener::open(options.osc, error);
    return input.listener != nullptr;
}

std::string describeOscInput(const Options& options, const OscInput& input) {
    return "OSC on UDP port " + std::to_string(input.listener->port()) + " (" +
           (options.osc.bindAddress.empty() ? std::string("every interface") : options.osc.bindAddress) + "), " +
           (options.osc.mapPath.empty() ? std::string("Muse's addresses") : "addresses of " + input.map.name) +
           ", " + leftSensor(options) + " left, " + rightSensor(options) + " right";
}

SessionResult runOscSession(OscInput& input, const Options& options, const SessionHooks& hooks,
                            const OscSessionOutput& output) {
    SessionResult result;
    TickRecorder recorder;
    if (!options.recordPath.empty() && !recorder.open(options.recordPath, result.message)) {
        result.ok = false;
        return result;
    }
    const double start = hooks.now();
    OscPacketHandler handler(input.map, leftSensor(options), rightSensor(options), options.osc.sampleRate);
    OscBridge bridge(handler, options.analysis, {options.osc.sampleRate, options.osc.preferBands}, start);
    Rates rates(start);
    OscListener& listener = *input.listener;

    auto datagram = [&](const char* data, std::size_t size) { handler.handle(data, size, hooks.now()); };
    auto update = [&]() {
        const double now = hooks.now();
        const double seconds = now - start;
        bridge.update(now, [&](const HostFrame& frame) {
            if (hooks.publish) hooks.publish(frame);
            if (!options.recordPath.empty() && !recorder.write(result.ticks, seconds, frame) && result.ok) {
                result.ok = false;
                result.message = "cannot write to \"" + options.recordPath + "\"";
            }
            ++result.ticks;
        });
        result.seconds = seconds;
        if (output.notice) {
            for (const std::string& address : handler.takeUnknownAddresses())
                output.notice("unknown OSC address " + address + " (counted and ignored)");
        }
        rates.update(now, handler);
        if (output.status) {
            OscStatus status;
            status.seconds = seconds;
            status.port = listener.port();
            status.sender = listener.sender();
            status.mode = modeName(bridge.mode());
            status.packetsPerSecond = rates.packets();
            status.samplesPerSecond = rates.samples();
            status.counts = handler.counts();
            if (bridge.mode() == OscBridge::Mode::Silent || (bridge.mode() == OscBridge::Mode::Waiting &&
                                                             bridge.silentFor(now) >= OscBridge::kSilenceSeconds))
                status.silentSeconds = bridge.silentFor(now);
            status.arrivalRate = bridge.arrivalRate();
            status.expectedRate = options.osc.sampleRate;
            status.rateOff = bridge.rateOff();
            output.status(seconds, formatOscStatus(status, bridge.frame()));
        }
        if (!result.ok) return false;
        if ((options.maxTicks && result.ticks >= *options.maxTicks) ||
            (options.durationSeconds && seconds >= *options.durationSeconds)) {
            result.message = "finished";
            return false;
        }
        if (hooks.stop && hooks.stop()) {
            result.message = "stopped";
            return false;
        }
        return true;
    };
    listener.run(1.0 / options.analysis.tickRate, datagram, update);
    if (!recorder.close() && result.ok) {
        result.ok = false;
        result.message = "cannot write to \"" + options.recordPath + "\"";
    }
    const OscCounts& c = handler.counts();
    if (output.notice)
        output.notice(std::to_string(c.packets) + " OSC packets received, " + std::to_string(c.bad()) + " bad (" +
                      std::to_string(c.malformed) + " malformed, " + std::to_string(c.wrongType) + " wrong type, " +
                      std::to_string(c.notFinite) + " NaN/inf, " + std::to_string(c.oversized) + " oversized, " +
                      std::to_string(c.dropped) + " samples dropped), " + std::to_string(c.unknown) +
                      " to unknown addresses");
    return result;
}

}  // namespace eegsim
