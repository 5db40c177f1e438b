#include "tools/acquire/monitor_values.h"

#include <cstring>
#include <map>

namespace eegsim::monitor {
namespace {

static_assert(kVariableCount == 2 * kBands * kMeasures + 1 + 3 * kEvents, "every published variable described");

// The publication order: per side, measure by measure, band by band; then
// artifact and the events part by part. The names and offsets come from
// Feltrix's own publication table.
std::vector<Variable> describeVariables() {
    const auto& published = feltrix::publishedVariables();
    std::vector<Variable> list;
    list.reserve(kVariableCount);
    auto add = [&](Variable variable) {
        variable.name = published[list.size()].name;
        variable.offset = published[list.size()].offset;
        list.push_back(variable);
    };
    for (int side = 0; side < kSides; ++side) {
        for (int measure = 0; measure < kMeasures; ++measure) {
            for (int band = 0; band < kBands; ++band) add({{}, Variable::BandMeasure, side, band, measure});
        }
    }
    add({{}, Variable::Artifact});
    for (int part = 0; part < 3; ++part) {
        for (int event = 1; event <= kEvents; ++event) add({{}, Variable::Event, 0, 0, 0, event, part});
    }
    return list;
}

}  // namespace

const std::vector<Variable>& variables() {
    static const std::vector<Variable> list = describeVariables();
    return list;
}

std::string valueText(const HostVariableSnapshot& snapshot, const Variable& variable) {
    const std::int16_t value = rawValue(snapshot, variable);
    if (variable.kind == Variable::Artifact) return value != 0 ? "true" : "false";
    return std::to_string(value);
}

bool sameValues(const HostVariableSnapshot& a, const HostVariableSnapshot& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool allZero(const HostVariableSnapshot& snapshot) {
    static const HostVariableSnapshot zero{};
    return sameValues(snapshot, zero);
}

HostFrame toFrame(const HostVariableSnapshot& snapshot) {
    // Both tables name each field by its index in the area.
    static const std::map<int, std::uint32_t> offsetOfIndex = [] {
        std::map<int, std::uint32_t> map;
        for (const auto& read : feltrix::hostVariableReads()) map[read.index] = read.offset;
        return map;
    }();
    HostFrame frame;
    for (const HostSlot& slot : hostSlots())
        setSlotValue(frame, slot, feltrix::snapshotField(snapshot, offsetOfIndex.at(slot.index)));
    return frame;
}

}  // namespace eegsim::monitor
