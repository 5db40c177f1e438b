#pragma once
// Extended host variable indices (some bit of the upper 16 set): a bit field
// naming a group, a field, a channel, a band or auxiliary record and an
// element.
//
// Indices outside the data model (channel 0 in groups 0 and 1, band or
// auxiliary record 16 or more, an element beyond its ring's capacity, a word
// beyond the host block) name nothing: they read 0 and a write changes
// nothing, not even a mirror word, and returns 0.
#include <cstdint>

#include "interface_library/area_layout.h"

namespace pelgrin32 {

struct ExtendedIndex {
    std::uint32_t channel;  // bits 31-24 (groups 0 and 1: channel record channel - 1)
    std::uint32_t group;    // bits 23-22
    std::uint32_t field;    // bits 21-16
    std::uint32_t record;   // bits 15-8: band (groups 0, 1) or auxiliary record (group 2)
    std::uint32_t element;  // bits 7-0
    std::uint32_t low16;    // bits 15-0, where a field takes a word number
    std::uint32_t low11;    // bits 10-0, where a field takes an 11-bit element
};
ExtendedIndex decodeExtended(std::int32_t index);

// Reads in tenths where the field is a real.
std::int32_t readExtended(AreaView view, std::int32_t index);
// Returns `value` when the index names something to write, else 0.
std::int32_t writeExtended(AreaView view, std::int32_t index, std::int32_t value);
// Reals unscaled; other fields as readExtended.
double readExtendedReal(AreaView view, std::int32_t index);
// Stores reals unscaled; returns the value truncated toward zero when
// something was written, else 0.
std::int32_t writeExtendedReal(AreaView view, std::int32_t index, double value);

}  // namespace pelgrin32
