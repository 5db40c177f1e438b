#pragma once
// The host variables the stand-in publishes: every variable Feltrix reads from
// the shared area, with the plain index it is written to, in one place.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/host_variable_indices.h"
#include "interface_library/pelgrin32.h"

namespace eegsim {

namespace indices = feltrix::host_indices;

constexpr int kSides = indices::kSideCount;  // 0 = left (channel record 0), 1 = right (channel record 1)
constexpr int kBands = indices::kBandCount;
constexpr int kMeasures = indices::kMeasureCount;
constexpr int kEvents = indices::kEventCount;

enum Band { Delta, Theta, Alpha, Lobeta, Beta, Hibeta, Gamma, User, Resrv };

// In the order Feltrix publishes them (that of indices::kMeasureNames).
enum Measure {
    Value,
    Coher,
    DampedValue,
    Mean,
    Threshold,
    ModalFrequency,
    NextThreshold,
    StandardDeviation,
    Phase,
    Mode,
    Hits,
    PeakFrequency,
    PercentTimeOverThreshold
};

const char* sideName(int side);        // "left", "right"
const char* bandName(int band);        // "Delta" ... "Resrv"
const char* measureName(int measure);  // "Value" ... "PercentTimeOverThreshold"

// Plain index of a band measure of one side, or -1 for the three Resrv
// measures that have no index (Coher, DampedValue, Phase).
int bandIndex(int side, int band, int measure);

constexpr int kArtifactIndex = indices::kArtifactIndex;
inline int eventValAIndex(int event) { return indices::kEventValABase + event; }  // event 1..16
inline int eventValBIndex(int event) { return indices::kEventValBBase + event; }
inline int eventFlagIndex(int event) { return indices::kEventFlagBase + event; }

// One update's worth of values, as signed 16-bit numbers.
struct HostFrame {
    int16_t band[kSides][kBands][kMeasures] = {};
    int16_t artifact = 0;
    int16_t eventValA[kEvents] = {};  // element 0 is event 1
    int16_t eventValB[kEvents] = {};
    int16_t eventFlag[kEvents] = {};

    bool operator==(const HostFrame& other) const;
    bool operator!=(const HostFrame& other) const { return !(*this == other); }
};

// One written variable: its name as the script sees it and its plain index.
struct HostSlot {
    std::string name;  // e.g. "leftAlphaValue", "artifact", "event3Flag"
    int index;
    enum Kind { BandMeasure, Artifact, EventValA, EventValB, EventFlag } kind;
    int side = 0, band = 0, measure = 0;  // BandMeasure
    int event = 0;                        // event kinds: 1..16
};

// Every written variable in write order: left bands, right bands (each
// grouped by measure, then band), artifact, events 1..16 ValA, ValB, Flag.
// 277 slots; the Resrv measures without an index are left out.
const std::vector<HostSlot>& hostSlots();

int16_t slotValue(const HostFrame& frame, const HostSlot& slot);
void setSlotValue(HostFrame& frame, const HostSlot& slot, int16_t value);

// The interface library's variable access: a negative index writes the value.
// The library's calling convention (PELGRIN32_CALL, __stdcall on 32-bit
// Windows) is part of the type.
using DllCFuncFunction = int32_t(PELGRIN32_CALL*)(int32_t index, int32_t value);
// Writes every host variable of `frame` through DllCFunc.
void writeHostFrame(DllCFuncFunction dllCFunc, const HostFrame& frame);

// Rounds and clamps into the signed 16-bit range.
int16_t toWord(double value);

}  // namespace eegsim
