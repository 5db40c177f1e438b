#include "tools/eegsim/host_variables.h"

#include <cmath>
#include <cstring>

namespace eegsim {
namespace {

const char* const kSideNames[kSides] = {"left", "right"};
const char* const kBandNames[kBands] = {"Delta", "Theta", "Alpha", "Lobeta", "Beta",
                                        "Hibeta", "Gamma", "User", "Resrv"};
const char* const kMeasureNames[kMeasures] = {
    "Value", "Coher", "DampedValue", "Mean", "Threshold", "ModalFrequency", "NextThreshold",
    "StandardDeviation", "Phase", "Mode", "Hits", "PeakFrequency", "PercentTimeOverThreshold"};

// Plain indices of the left side; the right side adds 128. 0 = no index.
constexpr int kLeftIndex[kMeasures][kBands] = {
    {1, 2, 3, 4, 5, 6, 7, 8, 9},                  // Value
    {26, 27, 28, 29, 42, 43, 44, 45, 0},          // Coher
    {15, 30, 31, 46, 47, 62, 63, 78, 0},          // DampedValue
    {97, 98, 99, 100, 101, 102, 103, 104, 105},   // Mean
    {17, 18, 19, 20, 21, 22, 23, 24, 25},         // Threshold
    {11, 12, 13, 14, 90, 91, 92, 93, 94},         // ModalFrequency
    {33, 34, 35, 36, 37, 38, 39, 40, 41},         // NextThreshold
    {49, 50, 51, 52, 53, 54, 55, 56, 57},         // StandardDeviation
    {58, 59, 60, 61, 74, 75, 76, 77, 0},          // Phase
    {65, 66, 67, 68, 69, 70, 71, 72, 73},         // Mode
    {81, 82, 83, 84, 85, 86, 87, 88, 89},         // Hits
    {107, 108, 109, 110, 122, 123, 124, 125, 126},  // PeakFrequency
    {113, 114, 115, 116, 117, 118, 119, 120, 121},  // PercentTimeOverThreshold
};
constexpr int kRightOffset = 128;

std::vector<HostSlot> buildSlots() {
    std::vector<HostSlot> slots;
    for (int side = 0; side < kSides; ++side) {
        for (int measure = 0; measure < kMeasures; ++measure) {
            for (int band = 0; band < kBands; ++band) {
                int index = bandIndex(side, band, measure);
                if (index < 0) continue;
                HostSlot slot{std::string(kSideNames[side]) + kBandNames[band] + kMeasureNames[measure],
                              index, HostSlot::BandMeasure};
                slot.side = side;
                slot.band = band;
                slot.measure = measure;
                slots.push_back(slot);
            }
        }
    }
    slots.push_back(HostSlot{"artifact", kArtifactIndex, HostSlot::Artifact});
    const struct {
        const char* suffix;
        HostSlot::Kind kind;
        int (*index)(int);
    } eventParts[] = {{"ValA", HostSlot::EventValA, eventValAIndex},
                      {"ValB", HostSlot::EventValB, eventValBIndex},
                      {"Flag", HostSlot::EventFlag, eventFlagIndex}};
    for (const auto& part : eventParts) {
        for (int event = 1; event <= kEvents; ++event) {
            HostSlot slot{"event" + std::to_string(event) + part.suffix, part.index(event), part.kind};
            slot.event = event;
            slots.push_back(slot);
        }
    }
    return slots;
}

}  // namespace

const char* sideName(int side) { return kSideNames[side]; }
const char* bandName(int band) { return kBandNames[band]; }
const char* measureName(int measure) { return kMeasureNames[measure]; }

int bandIndex(int side, int band, int measure) {
    int left = kLeftIndex[measure][band];
    if (left == 0) return -1;
    return left + side * kRightOffset;
}

bool HostFrame::operator==(const HostFrame& other) const {
    return std::memcmp(band, other.band, sizeof band) == 0 && artifact == other.artifact &&
           std::memcmp(eventValA, other.eventValA, sizeof eventValA) == 0 &&
           std::memcmp(eventValB, other.eventValB, sizeof eventValB) == 0 &&
           std::memcmp(eventFlag, other.eventFlag, sizeof eventFlag) == 0;
}

const std::vector<HostSlot>& hostSlots() {
    static const std::vector<HostSlot> slots = buildSlots();
    return slots;
}

int16_t slotValue(const HostFrame& frame, const HostSlot& slot) {
    switch (slot.kind) {
    case HostSlot::BandMeasure: return frame.band[slot.side][slot.band][slot.measure];
    case HostSlot::Artifact: return frame.artifact;
    case HostSlot::EventValA: return frame.eventValA[slot.event - 1];
    case HostSlot::EventValB: return frame.eventValB[slot.event - 1];
    case HostSlot::EventFlag: return frame.eventFlag[slot.event - 1];
    }
    return 0;
}

void setSlotValue(HostFrame& frame, const HostSlot& slot, int16_t value) {
    switch (slot.kind) {
    case HostSlot::BandMeasure: frame.band[slot.side][slot.band][slot.measure] = value; break;
    case HostSlot::Artifact: frame.artifact = value; break;
    case HostSlot::EventValA: frame.eventValA[slot.event - 1] = value; break;
    case HostSlot::EventValB: frame.eventValB[slot.event - 1] = value; break;
    case HostSlot::EventFlag: frame.eventFlag[slot.event - 1] = value; break;
    }
}

int16_t toWord(double value) {
    if (std::isnan(value)) return 0;
    double rounded = std::round(value);
    if (rounded > 32767.0) return 32767;
    if (rounded < -32768.0) return -32768;
    return static_cast<int16_t>(rounded);
}

}  // namespace eegsim
