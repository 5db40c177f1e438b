#pragma once
// What the monitor shows: the host variables exactly as Feltrix publishes
// them to its script (names, order, artifact as a boolean), read into
// Feltrix's own snapshot record.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hostlink/host_variables.h"
#include "tools/acquire/host_variables.h"

namespace eegsim::monitor {

using feltrix::HostVariableSnapshot;

struct Variable {
    std::string name;  // as the script sees it: "leftAlphaValue", "artifact", "event3Flag"
    enum Kind { BandMeasure, Artifact, Event } kind;
    int side = 0, band = 0, measure = 0;  // BandMeasure
    int event = 0, part = 0;              // Event: 1..16; part 0 ValA, 1 ValB, 2 Flag
    std::uint32_t offset = 0;             // of its field in the snapshot
};

constexpr std::size_t kVariableCount = feltrix::kPublishedVariableCount;
constexpr const char* kEventPartNames[3] = {"ValA", "ValB", "Flag"};

// The 283 published variables in publication order.
const std::vector<Variable>& variables();

inline std::int16_t rawValue(const HostVariableSnapshot& snapshot, const Variable& variable) {
    return feltrix::snapshotField(snapshot, variable.offset);
}
// The value as the script sees it: a number, or true/false for artifact.
std::string valueText(const HostVariableSnapshot& snapshot, const Variable& variable);

bool sameValues(const HostVariableSnapshot& a, const HostVariableSnapshot& b);
bool allZero(const HostVariableSnapshot& snapshot);

// The snapshot as a frame of the companion's recordings.
HostFrame toFrame(const HostVariableSnapshot& snapshot);

}  // namespace eegsim::monitor
