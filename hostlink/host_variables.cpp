#include "hostlink/host_variables.h"

#include <cstdio>

namespace feltrix {
namespace {

using namespace host_indices;

// Where each measure lives in BandVariables, in publication order.
#define FIELD(member) static_cast<std::uint32_t>(offsetof(BandVariables, member))
constexpr std::uint32_t kMeasureOffsets[kMeasureCount] = {
    FIELD(value),     FIELD(coher),          FIELD(dampedValue),   FIELD(mean),
    FIELD(threshold), FIELD(modalFrequency), FIELD(nextThreshold), FIELD(standardDeviation),
    FIELD(phase),     FIELD(mode),           FIELD(hits),          FIELD(peakFrequency),
    FIELD(percentTimeOverThreshold),
};
#undef FIELD

constexpr std::uint32_t bandOffset(int side, int band, std::uint32_t fieldOffset) {
    return static_cast<std::uint32_t>(offsetof(HostVariableSnapshot, bands) +
                                      sizeof(BandVariables) * static_cast<std::size_t>(side * kBandCount + band)) +
           fieldOffset;
}

// The three event arrays in publication (and read) order.
struct EventArray {
    const char* suffix;
    std::uint32_t offset;
    HostVariableIndex base;
};
constexpr EventArray kEventArrays[] = {
    {"ValA", static_cast<std::uint32_t>(offsetof(HostVariableSnapshot, eventValA)), kEventValABase},
    {"ValB", static_cast<std::uint32_t>(offsetof(HostVariableSnapshot, eventValB)), kEventValBBase},
    {"Flag", static_cast<std::uint32_t>(offsetof(HostVariableSnapshot, eventFlag)), kEventFlagBase},
};
constexpr std::uint32_t eventOffset(const EventArray& array, int event) {
    return array.offset + static_cast<std::uint32_t>(sizeof(std::int16_t)) * static_cast<std::uint32_t>(event);
}
constexpr std::uint32_t kArtifactOffset = static_cast<std::uint32_t>(offsetof(HostVariableSnapshot, artifact));

std::array<HostVariableRead, kHostVariableReadCount> makeReads() {
    std::array<HostVariableRead, kHostVariableReadCount> reads{};
    std::size_t n = 0;
    for (int side = 0; side < kSideCount; ++side) {
        for (int measure = 0; measure < kMeasureCount; ++measure) {
            for (int band = 0; band < kBandCount; ++band) {
                const HostVariableIndex index = bandIndex(side, band, measure);
                if (index == kNoIndex) continue;
                reads[n++] = {index, bandOffset(side, band, kMeasureOffsets[measure])};
            }
        }
    }
    reads[n++] = {kArtifactIndex, kArtifactOffset};
    for (int event = 0; event < kEventCount; ++event) {
        for (const EventArray& array : kEventArrays) reads[n++] = {array.base + event + 1, eventOffset(array, event)};
    }
    return reads;
}

// Longest name: "rightResrvPercentTimeOverThreshold" (34 characters).
constexpr std::size_t kNameCapacity = 40;
char publishedNames[kPublishedVariableCount][kNameCapacity];

std::array<PublishedVariable, kPublishedVariableCount> makePublished() {
    std::array<PublishedVariable, kPublishedVariableCount> published{};
    std::size_t n = 0;
    auto add = [&](std::uint32_t offset, bool isBoolean, const char* a, const char* b, const char* c) {
        std::snprintf(publishedNames[n], kNameCapacity, "%s%s%s", a, b, c);
        published[n] = {publishedNames[n], offset, isBoolean};
        ++n;
    };
    for (int side = 0; side < kSideCount; ++side) {
        for (int measure = 0; measure < kMeasureCount; ++measure) {
            for (int band = 0; band < kBandCount; ++band) {
                add(bandOffset(side, band, kMeasureOffsets[measure]), false, kSideNames[side], kBandNames[band],
                    kMeasureNames[measure]);
            }
        }
    }
    add(kArtifactOffset, true, "artifact", "", "");
    for (const EventArray& array : kEventArrays) {
        for (int event = 0; event < kEventCount; ++event) {
            char number[16];
            std::snprintf(number, sizeof number, "event%d", event + 1);
            add(eventOffset(array, event), false, number, array.suffix, "");
        }
    }
    return published;
}

}  // namespace

HostVariableSnapshot& hostVariableSnapshot() {
    static HostVariableSnapshot snapshot{};
    return snapshot;
}

const std::array<HostVariableRead, kHostVariableReadCount>& hostVariableReads() {
    static const auto reads = makeReads();
    return reads;
}

const std::array<PublishedVariable, kPublishedVariableCount>& publishedVariables() {
    static const auto published = makePublished();
    return published;
}

void readHostVariables(DllCFuncFunction dllCFunc, HostVariableSnapshot& snapshot) {
    auto* bytes = reinterpret_cast<unsigned char*>(&snapshot);
    for (const HostVariableRead& read : hostVariableReads()) {
        // The low 16 bits of the result, taken as a signed 16-bit number.
        const auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>(dllCFunc(read.index, 0)));
        std::memcpy(bytes + read.offset, &value, sizeof value);
    }
}

}  // namespace feltrix
