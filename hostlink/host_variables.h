#pragma once
// The host variables the program copies from the interface library every
// update cycle, and the tables saying which index feeds which field and
// which global publishes it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/host_variable_indices.h"
#include "common/types.h"
#include "hostlink/interface_binding.h"

namespace feltrix {

using host_indices::kBandCount;
using host_indices::kEventCount;
using host_indices::kSideCount;

constexpr std::size_t kHostVariableReadCount = 277;
constexpr std::size_t kPublishedVariableCount = 283;

struct BandVariables {
    std::int16_t value;
    std::int16_t coher;
    std::int16_t dampedValue;
    std::int16_t mean;
    std::int16_t modalFrequency;
    std::int16_t peakFrequency;
    std::int16_t percentTimeOverThreshold;
    std::int16_t phase;
    std::int16_t standardDeviation;
    std::int16_t hits;
    std::int16_t threshold;
    std::int16_t nextThreshold;
    std::int16_t mode;
};

struct HostVariableSnapshot {
    BandVariables bands[kSideCount][kBandCount];
    std::int16_t artifact;
    std::int16_t eventValA[kEventCount];
    std::int16_t eventValB[kEventCount];
    std::int16_t eventFlag[kEventCount];
};

// The program's one snapshot: zero at start, kept between cycles.
HostVariableSnapshot& hostVariableSnapshot();

// One read: the index handed to DllCFunc and the byte offset of the field
// in HostVariableSnapshot that receives the result.
struct HostVariableRead {
    HostVariableIndex index;
    std::uint32_t offset;
};
// All reads of one cycle in their order: left bands, right bands, artifact,
// then each event's ValA, ValB and Flag.
const std::array<HostVariableRead, kHostVariableReadCount>& hostVariableReads();

// One published global: its name, the byte offset of its field in the
// snapshot, and whether it is published as a boolean (artifact) or a number.
struct PublishedVariable {
    const char* name;
    std::uint32_t offset;
    bool isBoolean;
};
// All globals of one cycle in publication order.
const std::array<PublishedVariable, kPublishedVariableCount>& publishedVariables();

// The snapshot field at `offset`.
inline std::int16_t snapshotField(const HostVariableSnapshot& snapshot, std::uint32_t offset) {
    std::int16_t value;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&snapshot) + offset, sizeof value);
    return value;
}

// Calls dllCFunc(index, 0) for every entry of hostVariableReads() and keeps
// the low 16 bits of each result, as a signed number, in the snapshot.
void readHostVariables(DllCFuncFunction dllCFunc, HostVariableSnapshot& snapshot);

}  // namespace feltrix
