#pragma once
// A laid-out area in ordinary memory, with raw access to its bytes at the offsets the layout fixes
// (written out here as plain numbers, independent of the library's own constants).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "interface_library/area_layout.h"

namespace pelgrin32::testing {

constexpr std::size_t kSize = 4397440;
constexpr std::size_t kHostBlock = 72;

inline std::size_t channelRecord(std::size_t c) { return 66708 + 16980 * c; }
inline std::size_t bandRecord(std::size_t c, std::size_t k) { return channelRecord(c) + 6228 + 672 * k; }
inline std::size_t auxRecord(std::size_t k) { return 4396608 + 52 * k; }
// First sample of short ring r (0 to 3) or, for r = 4, of the long ring.
inline std::size_t channelRingSample(std::size_t c, std::size_t r, std::size_t i) {
    const std::size_t ring = r < 4 ? 200 + 540 * r : 2360;
    return channelRecord(c) + ring + 28 + 2 * i;
}
inline std::size_t bandRingSample(std::size_t c, std::size_t k, std::size_t i) { return bandRecord(c, k) + 132 + 28 + 2 * i; }
inline std::size_t hostWord(std::size_t i) { return kHostBlock + 2 * i; }

// Band record fields.
enum BandField : std::size_t {
    kValue = 60, kModalFrequency = 64, kDampedValue = 68, kThreshold = 72, kCoher = 76, kNextThreshold = 80,
    kStandardDeviation = 84, kPhase = 88, kMode = 92, kHits = 96, kMean = 100, kPeakFrequency = 104,
    kPercentTimeOverThreshold = 108, kExtra = 112, kReal1 = 120, kReal2 = 124, kReal3 = 128,
};
enum AuxField : std::size_t { kAuxReal1 = 36, kAuxReal2 = 40, kAuxInteger = 48 };

// Builds an extended index from its fields.
inline std::int32_t extended(std::uint32_t ch, std::uint32_t group, std::uint32_t field, std::uint32_t k,
                             std::uint32_t e) {
    return static_cast<std::int32_t>(ch << 24 | group << 22 | field << 16 | k << 8 | e);
}

struct TestArea {
    // Exactly the area's size, so that AddressSanitizer reports any access
    // past its end.
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kSize, 0);

    TestArea() { layOutArea(view()); }
    AreaView view() { return {bytes.data(), bytes.size()}; }

    std::int32_t i32(std::size_t at) const { std::int32_t v; std::memcpy(&v, &bytes[at], 4); return v; }
    void setI32(std::size_t at, std::int32_t v) { std::memcpy(&bytes[at], &v, 4); }
    void setF32(std::size_t at, float v) { std::memcpy(&bytes[at], &v, 4); }
    void setI16(std::size_t at, std::int16_t v) { std::memcpy(&bytes[at], &v, 2); }
    std::int16_t word(std::size_t i) const { std::int16_t v; std::memcpy(&v, &bytes[hostWord(i)], 2); return v; }
};

// Passes when two images are equal, else names the first offset that differs.
inline ::testing::AssertionResult sameBytes(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (at.first == a.end() && at.second == b.end()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the images differ first at offset " << at.first - a.begin();
}

// The image a fresh layout must produce, byte for byte.
inline std::vector<std::uint8_t> expectedFreshLayout() {
    std::vector<std::uint8_t> a(kSize, 0);
    const auto put = [&](std::size_t at, std::size_t v) { const auto i = std::int32_t(v); std::memcpy(&a[at], &i, 4); };
    const auto ringHeader = [&](std::size_t at, std::size_t size, std::size_t capacity) {
        put(at, size), a[at + 5] = 16, put(at + 12, 28), put(at + 16, capacity);
    };
    const std::size_t header[][2] = {{0, 4397440}, {12, 65608}, {16, 66636}, {36, 52},   {40, 540},   {44, 3868},
                                     {48, 132},    {52, 672},   {56, 136},   {60, 16980}, {64, 65624}, {68, 4397440}};
    for (const auto& [at, v] : header) put(at, v);
    put(65608, 255), put(66636, 16);
    for (std::size_t k = 0; k < 16; ++k) put(66644 + 4 * k, auxRecord(k)), put(auxRecord(k), 52);
    const std::size_t rings[] = {200, 740, 1280, 1820, 2360};
    for (std::size_t c = 0; c < 255; ++c) {
        const std::size_t r = channelRecord(c);
        put(65616 + 4 * c, r), put(r, 16980), put(r + 44, 16);
        for (int i = 0; i < 5; ++i)
            put(r + 52 + 4 * i, rings[i]), ringHeader(r + rings[i], i < 4 ? 540 : 3868, i < 4 ? 256 : 1920);
        for (std::size_t k = 0; k < 16; ++k) {
            put(r + 136 + 4 * k, 6228 + 672 * k), put(bandRecord(c, k), 672), put(bandRecord(c, k) + 52, 132);
            ringHeader(bandRecord(c, k) + 132, 540, 256);
        }
    }
    return a;
}

// A fresh layout after two clients "meet": each wrote its value as Threshold
// of band 1 of channel record 0 and 1 (plain indices 17 and 145, host words too).
inline std::vector<std::uint8_t> expectedAfterMeeting(std::int32_t first, std::int32_t second) {
    auto expected = expectedFreshLayout();
    const std::int32_t values[] = {first, second};
    for (std::size_t c = 0; c < 2; ++c) {
        std::memcpy(&expected[hostWord(17 + 128 * c)], &values[c], 2);
        std::memcpy(&expected[bandRecord(c, 1) + kThreshold], &values[c], 4);
    }
    return expected;
}

}  // namespace pelgrin32::testing
