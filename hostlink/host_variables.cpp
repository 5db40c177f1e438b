#include "hostlink/host_variables.h"

#include <cstdio>

namespace feltrix {
namespace {

constexpr const char* kSideNames[kSideCount] = {"left", "right"};
constexpr const char* kBandNames[kBandCount] = {"Delta", "Theta", "Alpha", "Lobeta", "Beta",
                                                "Hibeta", "Gamma", "User", "Resrv"};

// 0 marks a field that is never read (it stays 0 for the whole run).
constexpr HostVariableIndex kNotRead = 0;

// A band field: its name in the globals, where it lives in BandVariables,
// and the left side's index per band (Delta ... Resrv).
struct BandField {
    const char* name;
    std::uint32_t offset;
    HostVariableIndex leftIndex[kBandCount];
};

#define FIELD(member) static_cast<std::uint32_t>(offsetof(BandVariables, member))
// In publication order.
constexpr BandField kBandFields[] = {
    {"Value", FIELD(value), {1, 2, 3, 4, 5, 6, 7, 8, 9}},
    {"Coher", FIELD(coher), {26, 27, 28, 29, 42, 43, 44, 45, kNotRead}},
    {"DampedValue", FIELD(dampedValue), {15, 30, 31, 46, 47, 62, 63, 78, kNotRead}},
    {"Mean", FIELD(mean), {97, 98, 99, 100, 101, 102, 103, 104, 105}},
    {"Threshold", FIELD(threshold), {17, 18, 19, 20, 21, 22, 23, 24, 25}},
    {"ModalFrequency", FIELD(modalFrequency), {11, 12, 13, 14, 90, 91, 92, 93, 94}},
    {"NextThreshold", FIELD(nextThreshold), {33, 34, 35, 36, 37, 38, 39, 40, 41}},
    {"StandardDeviation", FIELD(standardDeviation), {49, 50, 51, 52, 53, 54, 55, 56, 57}},
    {"Phase", FIELD(phase), {58, 59, 60, 61, 74, 75, 76, 77, kNotRead}},
    {"Mode", FIELD(mode), {65, 66, 67, 68, 69, 70, 71, 72, 73}},
    {"Hits", FIELD(hits), {81, 82, 83, 84, 85, 86, 87, 88, 89}},
    {"PeakFrequency", FIELD(peakFrequency), {107, 108, 109, 110, 122, 123, 124, 125, 126}},
    {"PercentTimeOverThreshold", FIELD(percentTimeOverThreshold), {113, 114, 115, 116, 117, 118, 119, 120, 121}},
};
#undef FIELD
static_assert(sizeof kBandFields / sizeof kBandFields[0] == 13, "thirteen band fields");

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
        for (const BandField& field : kBandFields) {
            for (int band = 0; band < kBandCount; ++band) {
                if (field.leftIndex[band] == kNotRead) continue;
                reads[n++] = {field.leftIndex[band] + side * kRightSideIndexOffset,
                              bandOffset(side, band, field.offset)};
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
        for (const BandField& field : kBandFields) {
            for (int band = 0; band < kBandCount; ++band) {
                add(bandOffset(side, band, field.offset), false, kSideNames[side], kBandNames[band], field.name);
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
