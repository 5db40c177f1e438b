#pragma once
// Plain host variable indices (below 65536): the per-band measures of channel
// records 0 to 7 (0 to 1023), the special range 1536 to 2559, and otherwise
// one signed 16-bit word of the host block.
#include <cstdint>

#include "interface_library/area_layout.h"

namespace pelgrin32 {

// True when no bit of the upper 16 is set.
inline bool isPlainIndex(std::int32_t index) { return static_cast<std::uint32_t>(index) < 65536u; }

// The band record field a plain channel code (0 to 127) names.
struct PlainCode {
    std::int8_t band = -1;     // -1: the code names no field, only its word
    std::uint8_t field = 0;    // band_record offset
};
PlainCode plainCode(std::uint32_t code);

// Reads the variable `index` (0 to 65535). Words beyond the host block read 0.
std::int32_t readPlain(AreaView view, std::int32_t index);

// Writes `value` to the variable `index` (0 to 65535) and returns the result:
// `value` for the channel and special parts, 0 for plain words (and for
// anything beyond the host block, which is left alone).
std::int32_t writePlain(AreaView view, std::int32_t index, std::int32_t value);

}  // namespace pelgrin32
