#include <cstring>

#include "tests/interface_library/test_area.h"

namespace pelgrin32::testing {

namespace {
void put(std::vector<std::uint8_t>& a, std::size_t at, std::int32_t v) { std::memcpy(&a[at], &v, 4); }

void ringHeader(std::vector<std::uint8_t>& a, std::size_t at, std::int32_t size, std::int32_t capacity) {
    put(a, at, size);
    a[at + 5] = 16;
    put(a, at + 12, 28);
    put(a, at + 16, capacity);
}
}  // namespace

std::vector<std::uint8_t> expectedFreshLayout() {
    std::vector<std::uint8_t> a(kSize, 0);
    const std::int32_t header[][2] = {{0, 4397440}, {12, 65608}, {16, 66636}, {36, 52},    {40, 540},
                                      {44, 3868},   {48, 132},   {52, 672},   {56, 136},   {60, 16980},
                                      {64, 65624},  {68, 4397440}};
    for (const auto& [at, v] : header) put(a, static_cast<std::size_t>(at), v);
    put(a, 65608, 255);
    for (std::size_t c = 0; c < 255; ++c) put(a, 65616 + 4 * c, static_cast<std::int32_t>(channelRecord(c)));
    put(a, 66636, 16);
    for (std::size_t k = 0; k < 16; ++k) {
        put(a, 66644 + 4 * k, static_cast<std::int32_t>(auxRecord(k)));
        put(a, auxRecord(k), 52);
    }
    for (std::size_t c = 0; c < 255; ++c) {
        const std::size_t r = channelRecord(c);
        put(a, r, 16980);
        put(a, r + 44, 16);
        const std::int32_t rings[] = {200, 740, 1280, 1820, 2360};
        for (int i = 0; i < 5; ++i) {
            put(a, r + 52 + 4 * i, rings[i]);
            ringHeader(a, r + rings[i], i < 4 ? 540 : 3868, i < 4 ? 256 : 1920);
        }
        for (std::size_t k = 0; k < 16; ++k) {
            put(a, r + 136 + 4 * k, static_cast<std::int32_t>(6228 + 672 * k));
            const std::size_t b = bandRecord(c, k);
            put(a, b, 672);
            put(a, b + 52, 132);
            ringHeader(a, b + 132, 540, 256);
        }
    }
    return a;
}

}  // namespace pelgrin32::testing
