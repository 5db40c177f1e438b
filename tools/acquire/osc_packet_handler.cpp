#include "tools/acquire/osc_packet_handler.h"

#include <oscpack/osc/OscReceivedElements.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace eegsim {
namespace {

constexpr std::size_t kNoSensor = static_cast<std::size_t>(-1);
constexpr int kMaxBundleDepth = 8;
constexpr std::size_t kUnknownNamed = 5;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Where a padded OSC string that starts at `at` ends, found the way oscpack
// 1.1.0 finds it: only the last byte of each group of four is looked at, and
// an empty first group is taken whole. Returns `size` when the string runs to
// the end of the datagram. Any other scan could disagree with oscpack about
// where the type tags are.
std::size_t paddedStringEnd(const char* data, std::size_t at, std::size_t size) {
    if (at >= size) return size;
    if (data[at] == '\0') return std::min(at + 4, size);
    for (at += 3; at < size; at += 4) {
        if (data[at] == '\0') return at + 1;
    }
    return size;
}

// Whether a message's type tags hold a blob. oscpack 1.1.0 does not check a
// blob's size against the message (it builds the exception but never throws
// it) and then reads past the datagram; no sender of EEG uses blobs, so such
// messages are refused before oscpack sees them. The tags are looked for
// exactly where oscpack will look for them.
bool hasBlob(const char* data, std::size_t size) {
    std::size_t at = paddedStringEnd(data, 0, size);  // past the address
    if (at >= size || data[at] != ',') return false;
    for (++at; at < size && data[at] != '\0'; ++at) {
        if (data[at] == osc::BLOB_TYPE_TAG) return true;
    }
    return false;
}

// Whether every element size of a bundle fits inside it. oscpack 1.1.0 adds
// 4 to an element size in 32 bits, so that a size of 0xFFFFFFFC takes it
// round in circles for ever.
bool bundleSizesFit(const char* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    for (std::size_t at = 16; at < size;) {
        if (size - at < 4) return false;
        const std::size_t element = (std::size_t{bytes[at]} << 24) | (std::size_t{bytes[at + 1]} << 16) |
                                    (std::size_t{bytes[at + 2]} << 8) | bytes[at + 3];
        if (element > size - at - 4) return false;
        at += 4 + element;
    }
    return true;
}

}  // namespace

OscPacketHandler::OscPacketHandler(const OscMap& map, const std::string& left, const std::string& right,
                                   double sampleRate)
    : map_(map), queueLimit_(static_cast<std::size_t>(std::max(64.0, 4.0 * sampleRate))) {
    auto sensorIndex = [&](const std::string& name) {
        auto found = std::find(sensors_.begin(), sensors_.end(), name);
        if (found != sensors_.end()) return static_cast<std::size_t>(found - sensors_.begin());
        sensors_.push_back(name);
        return sensors_.size() - 1;
    };
    for (const OscRule& rule : map_.rules)
        ruleSensor_.push_back(rule.sensor.empty() ? kNoSensor : sensorIndex(rule.sensor));
    sideSensor_[0] = sensorIndex(left);
    sideSensor_[1] = sensorIndex(right);
    sampleTotals_.assign(sensors_.size(), 0);
    bands_.assign((sensors_.size() + 1) * kBands, Band{kNaN, -1.0});
}

void OscPacketHandler::handle(const char* data, std::size_t size, double now) {
    ++counts_.packets;
    if (size > kMaxOscDatagram) {
        ++counts_.oversized;
        return;
    }
    try {
        handleElement(data, size, now, 0);
    } catch (const osc::Exception&) {
        // Messages before the broken part of a bundle have had their effect.
        ++counts_.malformed;
    }
}

void OscPacketHandler::handleElement(const char* data, std::size_t size, double now, int depth) {
    const osc::ReceivedPacket packet(data, static_cast<osc::osc_bundle_element_size_t>(size));
    if (packet.IsBundle()) {
        if (depth >= kMaxBundleDepth) throw osc::MalformedBundleException("bundles nested too deep");
        if (!bundleSizesFit(data, size)) throw osc::MalformedBundleException("element sizes exceed the bundle");
        const osc::ReceivedBundle bundle(packet);
        for (auto element = bundle.ElementsBegin(); element != bundle.ElementsEnd(); ++element)
            handleElement(element->Contents(), element->Size(), now, depth + 1);
        return;
    }
    if (hasBlob(data, size)) throw osc::MalformedMessageException("blob arguments are not taken");
    const osc::ReceivedMessage message(packet);
    arguments_.clear();
    for (auto argument = message.ArgumentsBegin(); argument != message.ArgumentsEnd(); ++argument) {
        if (argument->IsArrayBegin() || argument->IsArrayEnd()) continue;
        double value = 0.0;
        bool isNumber = true;
        if (argument->IsFloat()) {
            value = argument->AsFloatUnchecked();
        } else if (argument->IsDouble()) {
            value = argument->AsDoubleUnchecked();
        } else if (argument->IsInt32()) {
            value = argument->AsInt32Unchecked();
        } else if (argument->IsInt64()) {
            value = static_cast<double>(argument->AsInt64Unchecked());
        } else {
            isNumber = false;
        }
        arguments_.push_back({value, !isNumber                ? Argument::NotNumber
                                     : std::isfinite(value) ? Argument::Number
                                                            : Argument::NotFinite});
    }
    applyMessage(message.AddressPattern(), arguments_, now);
}

bool OscPacketHandler::numberAt(const std::vector<Argument>& arguments, std::size_t position, double& value) {
    const Argument& argument = arguments[position];
    wrongType_ = wrongType_ || argument.state == Argument::NotNumber;
    notFinite_ = notFinite_ || argument.state == Argument::NotFinite;
    value = argument.value;
    return argument.state == Argument::Number;
}

void OscPacketHandler::applyMessage(const char* address, const std::vector<Argument>& arguments, double now) {
    bool known = false;
    sampled_[0] = sampled_[1] = false;
    wrongType_ = notFinite_ = false;
    for (std::size_t r = 0; r < map_.rules.size(); ++r) {
        const OscRule& rule = map_.rules[r];
        if (!addressMatches(rule.address.c_str(), address)) continue;
        known = true;
        if (rule.kind == OscRule::Kind::Ignore) continue;
        if (rule.arguments >= 0 && static_cast<std::size_t>(rule.arguments) != arguments.size()) continue;
        if (rule.position >= arguments.size()) continue;
        double value = 0.0;
        const bool valid = numberAt(arguments, rule.position, value);
        const std::size_t sensor = ruleSensor_[r];
        switch (rule.kind) {
        case OscRule::Kind::Sample:
            ++sampleTotals_[sensor];
            for (int side = 0; side < kSides; ++side) {
                if (sideSensor_[side] != sensor || sampled_[side]) continue;
                // A bad sample keeps its place, holding the last good value,
                // so that the two sides stay in step.
                if (valid) held_[side] = value * rule.scale;
                queue_[side].push_back(held_[side]);
                sampled_[side] = true;
                if (side == 0) ++leftSamples_;
                lastSampleTime_ = now;
            }
            break;
        case OscRule::Kind::Band: {
            const double microvolts = valid ? bandRuleValue(rule, value) : kNaN;
            notFinite_ = notFinite_ || (valid && !std::isfinite(microvolts));
            if (!std::isfinite(microvolts)) break;
            bands_[(sensor == kNoSensor ? 0 : sensor + 1) * kBands + rule.band] = {microvolts, now};
            if (sensor == kNoSensor || sensor == sideSensor_[0] || sensor == sideSensor_[1]) lastBandTime_ = now;
            break;
        }
        case OscRule::Kind::Artifact:
            if (valid && value != 0.0) lastArtifactTime_ = now;
            break;
        case OscRule::Kind::Fit:
            // 1 good, 2 medium, 4 bad.
            for (int side = 0; side < kSides; ++side) {
                if (valid && sideSensor_[side] == sensor) badFit_[side] = value > 2.5;
            }
            break;
        case OscRule::Kind::Ignore: break;
        }
    }
    // Counted per message: one with several bad arguments is one bad message.
    if (wrongType_) ++counts_.wrongType;
    if (notFinite_) ++counts_.notFinite;
    for (int side = 0; side < kSides; ++side) {
        if (queue_[side].size() > queueLimit_) {
            counts_.dropped += queue_[side].size() - queueLimit_;
            queue_[side].erase(queue_[side].begin(),
                               queue_[side].begin() + static_cast<std::ptrdiff_t>(queue_[side].size() - queueLimit_));
        }
    }
    if (known) return;
    ++counts_.unknown;
    if (unknownSeen_.size() < kUnknownNamed &&
        std::find(unknownSeen_.begin(), unknownSeen_.end(), address) == unknownSeen_.end()) {
        unknownSeen_.emplace_back(address);
        unknownToReport_.emplace_back(address);
    }
}

std::size_t OscPacketHandler::samplesWaiting() const { return std::min(queue_[0].size(), queue_[1].size()); }

void OscPacketHandler::takeSamples(std::size_t count, double* left, double* right) {
    double* out[kSides] = {left, right};
    for (int side = 0; side < kSides; ++side) {
        std::copy(queue_[side].begin(), queue_[side].begin() + static_cast<std::ptrdiff_t>(count), out[side]);
        queue_[side].erase(queue_[side].begin(), queue_[side].begin() + static_cast<std::ptrdiff_t>(count));
    }
}

void OscPacketHandler::dropSamples() {
    queue_[0].clear();
    queue_[1].clear();
}

double OscPacketHandler::bandValue(int side, int band) const {
    // The sensor's own Value or the average over all sensors, whichever is newer.
    const Band& own = bands_[(sideSensor_[side] + 1) * kBands + band];
    const Band& every = bands_[band];
    return own.time >= every.time ? own.value : every.value;
}

std::vector<std::string> OscPacketHandler::takeUnknownAddresses() {
    std::vector<std::string> names;
    names.swap(unknownToReport_);
    return names;
}

}  // namespace eegsim
