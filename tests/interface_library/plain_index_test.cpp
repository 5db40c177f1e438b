// Plain indices: the channel codes of channel records 0 to 7, the special
// range 1536 to 2559, and the host block words.
#include <gtest/gtest.h>

#include "interface_library/plain_index.h"
#include "tests/interface_library/test_area.h"

namespace pelgrin32::testing {
namespace {

// Band 0's codes (the host variables' test checks bands 1 to 9) and codes
// that name no field (band -1: a bare word).
const struct { int code, band; std::size_t field; } kCodes[] = {
    {10, 0, kModalFrequency}, {16, 0, kThreshold}, {32, 0, kNextThreshold}, {48, 0, kStandardDeviation},
    {64, 0, kMode}, {80, 0, kHits}, {96, 0, kMean}, {106, 0, kPeakFrequency}, {112, 0, kPercentTimeOverThreshold},
    {3, 3, kValue}, {0, -1, 0}, {79, -1, 0}, {95, -1, 0}, {111, -1, 0}, {127, -1, 0},
};

// Each write changes the field and its word, nothing else; a field reads back
// whole, a bare word sign-extended.
TEST(PlainChannelCodes, EachCodeReachesItsFieldAndWordOnEveryPlainChannel) {
    for (const int c : {0, 7}) {
        for (const auto& k : kCodes) {
            const int index = 128 * c + k.code;
            SCOPED_TRACE(index);
            TestArea area, expected;
            const std::int32_t value = 100000 + 1000 * c + k.code;  // wider than 16 bits
            ASSERT_EQ(writePlain(area.view(), index, value), value);
            expected.setI16(hostWord(index), static_cast<std::int16_t>(value & 0xFFFF));
            if (k.band >= 0) expected.setI32(bandRecord(c, k.band) + k.field, value);
            EXPECT_TRUE(sameBytes(area.bytes, expected.bytes));
            EXPECT_EQ(readPlain(area.view(), index), k.band >= 0 ? value : static_cast<std::int16_t>(value));
        }
    }
}

// Reads come from the field, not from the word.
TEST(PlainSpecialRange, AuxiliaryFieldsBandExtrasAndWords) {
    enum Kind { kInteger, kHundredths, kWordOnly };
    const struct { int index; Kind kind; std::size_t field; } cases[] = {
        {1553, kInteger, auxRecord(1) + kAuxInteger},  {1567, kInteger, auxRecord(15) + kAuxInteger},
        {1824, kInteger, bandRecord(0, 1) + kExtra},   {1831, kInteger, bandRecord(0, 8) + kExtra},
        {1832, kInteger, bandRecord(1, 1) + kExtra},   {1839, kInteger, bandRecord(1, 8) + kExtra},
        {1792, kHundredths, auxRecord(1) + kAuxReal2}, {1793, kHundredths, auxRecord(1) + kAuxReal1},
        {1807, kHundredths, auxRecord(8) + kAuxReal1}, {1808, kHundredths, auxRecord(6) + kAuxReal2},
        {1815, kHundredths, auxRecord(9) + kAuxReal1}, {1536, kWordOnly, 0}, {1552, kWordOnly, 0},
        {1568, kWordOnly, 0}, {1791, kWordOnly, 0}, {1816, kWordOnly, 0}, {1823, kWordOnly, 0},
        {1840, kWordOnly, 0}, {2559, kWordOnly, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.index);
        TestArea area, expected;
        const std::int32_t value = k.kind == kHundredths ? 1234 : -90001;
        EXPECT_EQ(writePlain(area.view(), k.index, value), value);
        expected.setI16(hostWord(k.index), static_cast<std::int16_t>(value));
        if (k.kind == kInteger) expected.setI32(k.field, value);
        if (k.kind == kHundredths) expected.setF32(k.field, 12.34f);
        EXPECT_TRUE(sameBytes(area.bytes, expected.bytes));
        EXPECT_EQ(readPlain(area.view(), k.index), k.kind == kWordOnly ? static_cast<std::int16_t>(value) : value);
        if (k.kind == kWordOnly) continue;
        if (k.kind == kInteger) area.setI32(k.field, 424242);
        else area.setF32(k.field, 42.5f);
        EXPECT_EQ(readPlain(area.view(), k.index), k.kind == kInteger ? 424242 : 4250);
    }
}

// Hundredths round-trip; whatever bits another process leaves give defined values.
TEST(PlainSpecialRange, HundredthsRoundTripAndOddBitsGiveDefinedValues) {
    TestArea area;
    for (const std::int32_t v : {0, 1, 5, 99, 100, 1234, 99999, 2000000, -1, -5, -1234, -2000000}) {
        writePlain(area.view(), 1801, v);
        EXPECT_EQ(readPlain(area.view(), 1801), v);
    }
    const std::pair<std::int32_t, std::int32_t> bits[] = {
        {0x7FC00000, 0}, {0x7149F2CA, 2147483647}, {std::int32_t(0xF149F2CA), -2147483647 - 1}};  // NaN, ±1e30
    for (const auto& [stored, read] : bits) {
        area.setI32(auxRecord(5) + kAuxReal1, stored);
        EXPECT_EQ(readPlain(area.view(), 1801), read) << std::hex << stored;
    }
}

TEST(PlainWords, WordsReturnZeroOnWriteAndSignExtendOnRead) {
    for (const int index : {1024, 1030, 1535, 2560, 4096, 32767}) {
        TestArea area;
        EXPECT_EQ(writePlain(area.view(), index, 0x18000), 0) << index;
        EXPECT_EQ(area.word(index), -32768) << index;
        EXPECT_EQ(readPlain(area.view(), index), -32768) << index;
    }
}

}  // namespace
}  // namespace pelgrin32::testing
