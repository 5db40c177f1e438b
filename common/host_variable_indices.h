#pragma once
// Where the acquisition application keeps the values Feltrix reads: the plain
// index of every band measure of each side, the artifact flag and the sixteen
// events, and the names scripts know them by. The one table both the reader
// (Feltrix's host link) and any writer (the EEG stand-in) use.
#include "common/types.h"

namespace feltrix::host_indices {

constexpr int kSideCount = 2;      // 0 = left, 1 = right
constexpr int kBandCount = 9;      // Delta ... Resrv
constexpr int kMeasureCount = 13;  // Value ... PercentTimeOverThreshold
constexpr int kEventCount = 16;    // events 1 .. 16

constexpr const char* kSideNames[kSideCount] = {"left", "right"};
constexpr const char* kBandNames[kBandCount] = {"Delta", "Theta", "Alpha", "Lobeta", "Beta",
                                                "Hibeta", "Gamma", "User", "Resrv"};
// In the order scripts see them published.
constexpr const char* kMeasureNames[kMeasureCount] = {
    "Value", "Coher", "DampedValue", "Mean", "Threshold", "ModalFrequency", "NextThreshold",
    "StandardDeviation", "Phase", "Mode", "Hits", "PeakFrequency", "PercentTimeOverThreshold"};

// A measure without an index: never written, never read, always 0.
constexpr HostVariableIndex kNoIndex = 0;

// Plain indices of the left side per measure (rows, in kMeasureNames order)
// and band (columns); the right side's index is the left one plus 128.
constexpr HostVariableIndex kLeftBandIndex[kMeasureCount][kBandCount] = {
    {1, 2, 3, 4, 5, 6, 7, 8, 9},                    // Value
    {26, 27, 28, 29, 42, 43, 44, 45, kNoIndex},     // Coher
    {15, 30, 31, 46, 47, 62, 63, 78, kNoIndex},     // DampedValue
    {97, 98, 99, 100, 101, 102, 103, 104, 105},     // Mean
    {17, 18, 19, 20, 21, 22, 23, 24, 25},           // Threshold
    {11, 12, 13, 14, 90, 91, 92, 93, 94},           // ModalFrequency
    {33, 34, 35, 36, 37, 38, 39, 40, 41},           // NextThreshold
    {49, 50, 51, 52, 53, 54, 55, 56, 57},           // StandardDeviation
    {58, 59, 60, 61, 74, 75, 76, 77, kNoIndex},     // Phase
    {65, 66, 67, 68, 69, 70, 71, 72, 73},           // Mode
    {81, 82, 83, 84, 85, 86, 87, 88, 89},           // Hits
    {107, 108, 109, 110, 122, 123, 124, 125, 126},  // PeakFrequency
    {113, 114, 115, 116, 117, 118, 119, 120, 121},  // PercentTimeOverThreshold
};
constexpr HostVariableIndex kRightSideIndexOffset = 128;

constexpr HostVariableIndex kArtifactIndex = 1616;
// Event n (1 .. 16) lives at these bases plus n.
constexpr HostVariableIndex kEventValABase = 1743;
constexpr HostVariableIndex kEventValBBase = 1759;
constexpr HostVariableIndex kEventFlagBase = 1775;

// The plain index of a band measure of one side, or kNoIndex.
constexpr HostVariableIndex bandIndex(int side, int band, int measure) {
    const HostVariableIndex left = kLeftBandIndex[measure][band];
    return left == kNoIndex ? kNoIndex : left + side * kRightSideIndexOffset;
}

}  // namespace feltrix::host_indices
