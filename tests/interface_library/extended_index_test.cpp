// Extended indices: each group's fields, their host-block mirrors, the real-valued access. A write
// case checks the whole area (a stray store, a missing or extra mirror) and reads the field back.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "interface_library/extended_index.h"
#include "tests/interface_library/test_area.h"

namespace pelgrin32::testing {
namespace {

struct Change { std::size_t at; int width; std::int32_t bits; bool real = false; };  // width: 2 or 4 bytes
Change i16(std::size_t at, std::int32_t v) { return {at, 2, v}; }
Change i32(std::size_t at, std::int32_t v) { return {at, 4, v}; }
Change f32(std::size_t at, float v) { std::int32_t b; std::memcpy(&b, &v, 4); return {at, 4, b, true}; }
Change word(std::size_t i, std::int32_t v) { return i16(hostWord(i), v); }
Change band(std::size_t c, std::size_t k, std::size_t f, std::int32_t v) { return i32(bandRecord(c, k) + f, v); }

// writeOnly: a field that is written but never read.
struct WriteCase { std::int32_t index, value, result; std::vector<Change> changes; bool writeOnly = false; };

// A field reads back what was written: a real in tenths, a 16-bit one sign-extended.
void expectWrite(const WriteCase& k, const std::function<std::int32_t(AreaView)>& write, bool readsBack = true) {
    TestArea area, expected;
    for (const Change& c : k.changes)
        c.width == 2 ? expected.setI16(c.at, std::int16_t(c.bits & 0xFFFF)) : expected.setI32(c.at, c.bits);
    SCOPED_TRACE(::testing::Message() << "index " << std::hex << k.index);
    EXPECT_EQ(write(area.view()), k.result);
    EXPECT_TRUE(sameBytes(area.bytes, expected.bytes));
    if (!readsBack) return;
    std::int32_t readBack = 0;
    if (k.result != 0 && !k.writeOnly && !k.changes.empty()) {
        const Change& first = k.changes.front();
        readBack = first.real ? k.value : first.width == 2 ? static_cast<std::int16_t>(first.bits) : first.bits;
    }
    EXPECT_EQ(readExtended(area.view(), k.index), readBack);
}

void expectWrites(const std::vector<WriteCase>& cases) {
    for (const WriteCase& k : cases)
        expectWrite(k, [&](AreaView view) { return writeExtended(view, k.index, k.value); });
}

constexpr std::int32_t v = 0x12345;  // low 16 bits 0x2345
constexpr std::int32_t lo = 0x2345;

TEST(ExtendedGroup0, BandFieldsAndTheirMirrors) {
    expectWrites({
        {extended(1, 0, 2, 3, 0), 7, 7, {band(0, 3, kValue, 7), word(3, 7)}},
        {extended(3, 0, 2, 3, 0), 7, 7, {band(2, 3, kValue, 7)}},
        {extended(2, 0, 2, 10, 0), v, v, {band(1, 10, kValue, v)}},
        {extended(2, 0, 4, 9, 0), v, v, {band(1, 9, kMode, v), word(201, lo)}},
        {extended(1, 0, 5, 0, 0), v, v, {band(0, 0, kThreshold, v), word(16, lo)}},
        {extended(1, 0, 6, 9, 0), v, v, {band(0, 9, kNextThreshold, v), word(41, lo)}},
        {extended(1, 0, 10, 0, 0), v, v, {band(0, 0, kModalFrequency, v), word(10, lo)}},
        {extended(2, 0, 10, 2, 0), v, v, {band(1, 2, kModalFrequency, v), word(140, lo)}},
        {extended(2, 0, 10, 7, 0), v, v, {band(1, 7, kModalFrequency, v), word(220, lo)}},
        {extended(1, 0, 12, 1, 0), v, v, {band(0, 1, kCoher, v), word(26, lo)}},
        {extended(1, 0, 12, 8, 0), v, v, {band(0, 8, kCoher, v), word(45, lo)}},
        {extended(1, 0, 12, 0, 0), v, v, {band(0, 0, kCoher, v)}},
        {extended(1, 0, 12, 9, 0), v, v, {band(0, 9, kCoher, v)}},
        {extended(2, 0, 13, 5, 0), v, v, {band(1, 5, kPhase, v), word(202, lo)}},
        {extended(1, 0, 13, 4, 0), v, v, {band(0, 4, kPhase, v), word(61, lo)}},
        {extended(1, 0, 14, 0, 0), v, v, {band(0, 0, kHits, v), word(80, lo)}},
        {extended(1, 0, 16, 1, 0), v, v, {band(0, 1, kDampedValue, v), word(15, lo)}},
        {extended(2, 0, 16, 3, 0), v, v, {band(1, 3, kDampedValue, v), word(159, lo)}},
        {extended(6, 0, 16, 8, 0), v, v, {band(5, 8, kDampedValue, v), word(718, lo)}},
        // Past the eight plain channels the word would be another variable's.
        {extended(9, 0, 16, 5, 0), v, v, {band(8, 5, kDampedValue, v)}},
        {extended(1, 0, 16, 9, 0), v, v, {band(0, 9, kDampedValue, v)}},
        {extended(2, 0, 17, 9, 0), v, v, {band(1, 9, kPercentTimeOverThreshold, v), word(249, lo)}},
        {extended(1, 0, 15, 2, 7), v, v, {i16(bandRingSample(0, 2, 7), lo), word(4096 + 512 + 7, lo)}},
        {extended(2, 0, 15, 8, 255), v, v, {i16(bandRingSample(1, 8, 255), lo), word(7936 + 2048 + 255, lo)}},
        {extended(1, 0, 15, 0, 1), v, v, {i16(bandRingSample(0, 0, 1), lo)}},
        {extended(3, 0, 15, 1, 0), v, v, {i16(bandRingSample(2, 1, 0), lo)}},
        {extended(1, 0, 21, 2, 0), 125, 125, {f32(bandRecord(0, 2) + kReal1, 12.5f)}},
        {extended(255, 0, 22, 15, 0), -3, -3, {f32(bandRecord(254, 15) + kReal2, -0.3f)}},
        {extended(4, 0, 23, 0, 0), 10, 10, {f32(bandRecord(3, 0) + kReal3, 1.0f)}},
        {extended(7, 0, 0, 0x12, 0x34), v, v, {word(0x1234, lo)}},
        {extended(1, 0, 3, 1, 0), v, 0, {}}, {extended(1, 0, 30, 1, 0), v, 0, {}},
    });
}

TEST(ExtendedGroup0, RealsReadInTenthsAndOtherFieldsReadReal1) {
    TestArea area;
    area.setF32(bandRecord(0, 3) + kReal1, 4.56f);
    area.setF32(bandRecord(0, 3) + kReal2, -0.7f);
    area.setF32(bandRecord(0, 3) + kReal3, 0.7f);
    EXPECT_EQ(readExtended(area.view(), extended(1, 0, 21, 3, 0)), 45);
    EXPECT_EQ(readExtended(area.view(), extended(1, 0, 22, 3, 0)), -7);
    EXPECT_EQ(readExtended(area.view(), extended(1, 0, 23, 3, 0)), 7);
    // Fields without a read of their own read Real1.
    for (const std::uint32_t f : {1u, 3u, 7u, 8u, 9u, 11u, 18u, 20u, 24u, 63u})
        EXPECT_EQ(readExtended(area.view(), extended(1, 0, f, 3, 0)), 45) << f;
    // A value written in tenths reads back unchanged.
    for (std::int32_t t = -3000; t <= 3000; ++t) {
        writeExtended(area.view(), extended(2, 0, 22, 1, 0), t);
        ASSERT_EQ(readExtended(area.view(), extended(2, 0, 22, 1, 0)), t);
    }
}

TEST(ExtendedGroup1, ChannelRingsAndTheirMirrors) {
    expectWrites({
        {extended(1, 1, 9, 0, 70), v, v, {i16(channelRingSample(0, 2, 70), lo), word(1030, lo)}},
        {extended(2, 1, 9, 0, 3), v, v, {i16(channelRingSample(1, 2, 3), lo), word(1091, lo)}},
        {extended(3, 1, 9, 0, 3), v, v, {i16(channelRingSample(2, 2, 3), lo)}},
        {extended(1, 1, 15, 0, 5), v, v, {i16(channelRingSample(0, 0, 5), lo), word(4101, lo)}},
        {extended(2, 1, 15, 0, 255), v, v, {i16(channelRingSample(1, 0, 255), lo), word(6655, lo)}},
        {extended(1, 1, 18, 7, 127), v, v, {i16(channelRingSample(0, 4, 1919), lo), word(12288 + 1919, lo)}},
        {extended(2, 1, 18, 0, 0), v, v, {i16(channelRingSample(1, 4, 0), lo), word(14336, lo)}},
        {extended(200, 1, 18, 3, 232), v, v, {i16(channelRingSample(199, 4, 1000), lo)}},
        {extended(1, 1, 19, 0, 255), v, v, {i16(channelRingSample(0, 3, 255), lo), word(1535, lo)}, true},
        {extended(2, 1, 19, 0, 10), v, v, {i16(channelRingSample(1, 3, 10), lo), word(1354, lo)}, true},
        {extended(1, 1, 20, 0, 9), v, v, {i16(channelRingSample(0, 1, 9), lo)}},
        {extended(1, 1, 21, 0, 9), v, 0, {}}, {extended(1, 1, 0, 0, 9), v, 0, {}},
    });
}

TEST(ExtendedGroup2, AuxiliaryRecordsMarkerAndMirrors) {
    expectWrites({
        {extended(0, 2, 0, 1, 0xF4), 1613, 1613, {word(500, 1613), i32(4, 1613)}},
        {extended(0, 2, 0, 1, 0xF4), 1612, 1612, {word(500, 1612)}},
        {extended(0, 2, 3, 1, 0), v, v, {i32(auxRecord(1) + kAuxInteger, v), word(1553, lo)}},
        {extended(5, 2, 3, 9, 0), v, v, {i32(auxRecord(9) + kAuxInteger, v), word(1561, lo)}},
        {extended(0, 2, 3, 0, 0), v, v, {i32(auxRecord(0) + kAuxInteger, v)}},
        {extended(0, 2, 3, 10, 0), v, v, {i32(auxRecord(10) + kAuxInteger, v)}},
        {extended(0, 2, 7, 1, 0), 125, 125, {f32(auxRecord(1) + kAuxReal2, 12.5f), word(1792, 12)}},
        {extended(0, 2, 7, 6, 0), 125, 125, {f32(auxRecord(6) + kAuxReal2, 12.5f), word(1808, 12)}},
        {extended(0, 2, 7, 9, 0), 125, 125, {f32(auxRecord(9) + kAuxReal2, 12.5f), word(1814, 12)}},
        {extended(0, 2, 7, 10, 0), 125, 125, {f32(auxRecord(10) + kAuxReal2, 12.5f)}},
        {extended(0, 2, 8, 5, 0), -37, -37, {f32(auxRecord(5) + kAuxReal1, -3.7f), word(1801, -3)}},
        {extended(0, 2, 8, 6, 0), 99, 99, {f32(auxRecord(6) + kAuxReal1, 9.9f), word(1809, 9)}},
        {extended(1, 2, 11, 1, 0), v, v, {word(1568, lo)}, true},
        {extended(1, 2, 11, 7, 0), v, v, {word(1574, lo)}, true},
        {extended(2, 2, 11, 3, 0), v, v, {word(1578, lo)}, true},
        {extended(3, 2, 11, 3, 0), v, v, {}, true}, {extended(1, 2, 11, 8, 0), v, v, {}, true},
        {extended(0, 2, 5, 1, 0), v, 0, {}},
    });
}

TEST(ExtendedGroup3, WordRanges) {
    std::vector<WriteCase> cases = {{10245 | 3 << 22, -9, -9, {word(10245, -9)}}};  // read sign-extended
    for (const std::int32_t w : {1648, 1695, 10240, 10245, 14208, 14335})
        cases.push_back({w | 3 << 22, v, v, {word(w, lo)}});
    for (const std::int32_t w : {1647, 1696, 10239, 10246, 14207, 14336, 1 << 24 | 1648})
        cases.push_back({w | 3 << 22, v, 0, {}});
    expectWrites(cases);
}

TEST(ExtendedReal, ReadsAreUnscaled) {
    TestArea area;
    area.setF32(bandRecord(0, 2) + kReal1, 1.5f);
    area.setF32(bandRecord(0, 2) + kReal3, -2.25f);
    area.setI32(bandRecord(0, 2) + kValue, 77);
    area.setF32(auxRecord(3) + kAuxReal2, 6.5f);
    area.setF32(auxRecord(3) + kAuxReal1, 0.125f);
    area.setI32(auxRecord(3) + kAuxInteger, 31);
    area.setI16(channelRingSample(0, 0, 4), -8);
    area.setI16(hostWord(1650), 21);
    // Group 0 reads reals only.
    const std::pair<std::int32_t, double> reads[] = {
        {extended(1, 0, 21, 2, 0), 1.5}, {extended(1, 0, 23, 2, 0), -2.25}, {extended(1, 0, 2, 2, 0), 0.0},
        {1650, 0.0}, {extended(0, 2, 7, 3, 0), 6.5}, {extended(0, 2, 8, 3, 0), 0.125},
        {extended(0, 2, 3, 3, 0), 31.0}, {extended(1, 1, 15, 0, 4), -8.0}, {1650 | 3 << 22, 21.0}};
    for (const auto& [index, real] : reads) EXPECT_EQ(readExtendedReal(area.view(), index), real) << index;
}

TEST(ExtendedReal, Writes) {
    const std::vector<std::pair<WriteCase, double>> cases = {
        {{extended(1, 0, 22, 2, 0), 0, 2, {f32(bandRecord(0, 2) + kReal2, 2.75f)}}, 2.75},
        {{extended(1, 0, 2, 2, 0), 0, 0, {}}, 2.75},
        {{extended(1, 0, 21, 2, 0), 0, 2147483647, {f32(bandRecord(0, 2) + kReal1, HUGE_VALF)}}, 1e300},
        {{extended(0, 2, 8, 2, 0), 0, 12, {f32(auxRecord(2) + kAuxReal1, 12.75f), word(1795, 12)}}, 12.75},
        {{extended(0, 2, 7, 7, 0), 0, -1, {f32(auxRecord(7) + kAuxReal2, -1.5f), word(1810, -1)}}, -1.5},
        {{extended(0, 2, 3, 2, 0), 0, 0, {}}, 5.0},
        {{extended(1, 1, 15, 0, 4), 0, -3, {i16(channelRingSample(0, 0, 4), -3), word(4100, -3)}}, -3.9},
        {{1650 | 3 << 22, 0, 7, {word(1650, 7)}}, 7.9},
    };
    for (const auto& [k, real] : cases)
        expectWrite(k, [i = k.index, r = real](AreaView view) { return writeExtendedReal(view, i, r); }, false);
}

}  // namespace
}  // namespace pelgrin32::testing
