#include "tools/acquire/host_variables.h"

#include <cmath>
#include <cstring>

namespace eegsim {
namespace {

static_assert(PercentTimeOverThreshold + 1 == kMeasures && Resrv + 1 == kBands, "one entry per measure and band");

std::vector<HostSlot> buildSlots() {
    std::vector<HostSlot> slots;
    for (int side = 0; side < kSides; ++side) {
        for (int measure = 0; measure < kMeasures; ++measure) {
            for (int band = 0; band < kBands; ++band) {
                int index = bandIndex(side, band, measure);
                if (index < 0) continue;
                HostSlot slot{std::string(sideName(side)) + bandName(band) + measureName(measure),
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

const char* sideName(int side) { return indices::kSideNames[side]; }
const char* bandName(int band) { return indices::kBandNames[band]; }
const char* measureName(int measure) { return indices::kMeasureNames[measure]; }

int bandIndex(int side, int band, int measure) {
    const int index = indices::bandIndex(side, band, measure);
    return index == indices::kNoIndex ? -1 : index;
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
