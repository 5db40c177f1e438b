// Plain indices: the channel codes of channel records 0 to 7, the special
// range 1536 to 2559, and the host block words.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "interface_library/extended_index.h"
#include "interface_library/plain_index.h"
#include "tests/interface_library/test_area.h"

namespace pelgrin32::testing {
namespace {

// code -> (band, field), written out from the code table row by row.
std::map<int, std::pair<int, std::size_t>> expectedCodes() {
    std::map<int, std::pair<int, std::size_t>> codes;
    const auto row = [&](std::size_t field, std::vector<int> perBand) {  // -1: no code for that band
        for (int band = 0; band < static_cast<int>(perBand.size()); ++band)
            if (perBand[band] >= 0) codes[perBand[band]] = {band, field};
    };
    row(kValue, {-1, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    row(kModalFrequency, {10, 11, 12, 13, 14, 90, 91, 92, 93, 94});
    row(kDampedValue, {-1, 15, 30, 31, 46, 47, 62, 63, 78});
    row(kThreshold, {16, 17, 18, 19, 20, 21, 22, 23, 24, 25});
    row(kCoher, {-1, 26, 27, 28, 29, 42, 43, 44, 45});
    row(kNextThreshold, {32, 33, 34, 35, 36, 37, 38, 39, 40, 41});
    row(kStandardDeviation, {48, 49, 50, 51, 52, 53, 54, 55, 56, 57});
    row(kPhase, {-1, 58, 59, 60, 61, 74, 75, 76, 77});
    row(kMode, {64, 65, 66, 67, 68, 69, 70, 71, 72, 73});
    row(kHits, {80, 81, 82, 83, 84, 85, 86, 87, 88, 89});
    row(kMean, {96, 97, 98, 99, 100, 101, 102, 103, 104, 105});
    row(kPeakFrequency, {106, 107, 108, 109, 110, 122, 123, 124, 125, 126});
    row(kPercentTimeOverThreshold, {112, 113, 114, 115, 116, 117, 118, 119, 120, 121});
    return codes;
}

TEST(PlainChannelCodes, EveryCodeOfEveryPlainChannelReachesItsFieldAndWord) {
    const auto codes = expectedCodes();
    ASSERT_EQ(codes.size(), 123u);  // 0, 79, 95, 111 and 127 name no field
    TestArea area;
    TestArea expected;
    for (int c = 0; c < 8; ++c) {
        for (int code = 0; code < 128; ++code) {
            const int index = 128 * c + code;
            const std::int32_t value = 100000 + 1000 * c + code;  // wider than 16 bits
            ASSERT_EQ(writePlain(area.view(), index, value), value) << index;
            expected.setI16(hostWord(index), static_cast<std::int16_t>(value & 0xFFFF));
            const auto it = codes.find(code);
            if (it != codes.end()) expected.setI32(bandRecord(c, it->second.first) + it->second.second, value);
            // A field reads back whole, a bare word sign-extended.
            EXPECT_EQ(readPlain(area.view(), index), it != codes.end() ? value : static_cast<std::int16_t>(value))
                << index;
        }
    }
    const auto diff = differences(area.bytes, expected.bytes);
    ASSERT_TRUE(diff.empty()) << diff.size() << " bytes differ, the first at offset " << diff.front();
}

// Each write checks the whole area: the field and its word change, nothing else.
TEST(PlainSpecialRange, AuxiliaryFieldsBandExtrasAndWords) {
    enum Kind { kInteger, kHundredths, kWordOnly };
    const struct { int index; Kind kind; std::size_t field; } cases[] = {
        {1553, kInteger, auxRecord(1) + kAuxInteger},      {1560, kInteger, auxRecord(8) + kAuxInteger},
        {1567, kInteger, auxRecord(15) + kAuxInteger},     {1824, kInteger, bandRecord(0, 1) + kExtra},
        {1831, kInteger, bandRecord(0, 8) + kExtra},       {1832, kInteger, bandRecord(1, 1) + kExtra},
        {1839, kInteger, bandRecord(1, 8) + kExtra},       {1835, kInteger, bandRecord(1, 4) + kExtra},
        {1792, kHundredths, auxRecord(1) + kAuxReal2},     {1793, kHundredths, auxRecord(1) + kAuxReal1},
        {1800, kHundredths, auxRecord(5) + kAuxReal2},     {1801, kHundredths, auxRecord(5) + kAuxReal1},
        {1802, kHundredths, auxRecord(6) + kAuxReal2},     {1807, kHundredths, auxRecord(8) + kAuxReal1},
        {1808, kHundredths, auxRecord(6) + kAuxReal2},     {1809, kHundredths, auxRecord(6) + kAuxReal1},
        {1814, kHundredths, auxRecord(9) + kAuxReal2},     {1815, kHundredths, auxRecord(9) + kAuxReal1},
        {1536, kWordOnly, 0}, {1552, kWordOnly, 0}, {1568, kWordOnly, 0}, {1616, kWordOnly, 0}, {1744, kWordOnly, 0},
        {1791, kWordOnly, 0}, {1816, kWordOnly, 0}, {1823, kWordOnly, 0}, {1840, kWordOnly, 0}, {2559, kWordOnly, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.index);
        TestArea area;
        TestArea expected;
        const std::int32_t value = k.kind == kHundredths ? 1234 : -90001;
        EXPECT_EQ(writePlain(area.view(), k.index, value), value);
        expected.setI16(hostWord(k.index), static_cast<std::int16_t>(value));
        if (k.kind == kInteger) expected.setI32(k.field, value);
        if (k.kind == kHundredths) expected.setF32(k.field, 12.34f);
        EXPECT_TRUE(differences(area.bytes, expected.bytes).empty());
        EXPECT_EQ(readPlain(area.view(), k.index), k.kind == kWordOnly ? static_cast<std::int16_t>(value) : value);
        // Reads come from the field, not from the word.
        if (k.kind == kInteger) area.setI32(k.field, 424242);
        if (k.kind == kHundredths) area.setF32(k.field, 42.5f);
        if (k.kind != kWordOnly) {
            EXPECT_EQ(readPlain(area.view(), k.index), k.kind == kInteger ? 424242 : 4250);
        }
    }
}

TEST(PlainSpecialRange, HundredthsRoundTripAndOddBitsGiveDefinedValues) {
    TestArea area;
    for (const std::int32_t v : {0, 1, 5, 99, 100, 1234, 99999, 2000000, -1, -5, -1234, -2000000}) {
        writePlain(area.view(), 1801, v);
        EXPECT_EQ(readPlain(area.view(), 1801), v);
    }
    writePlain(area.view(), 1793, 1234);
    EXPECT_EQ(readExtended(area.view(), extended(0, 2, 8, 1, 0)), 123);  // tenths
    // Whatever bits another process leaves there.
    area.setI32(auxRecord(5) + kAuxReal1, 0x7FC00000);  // NaN
    EXPECT_EQ(readPlain(area.view(), 1801), 0);
    area.setF32(auxRecord(5) + kAuxReal1, 1e30f);
    EXPECT_EQ(readPlain(area.view(), 1801), 2147483647);
    area.setF32(auxRecord(5) + kAuxReal1, -1e30f);
    EXPECT_EQ(readPlain(area.view(), 1801), -2147483647 - 1);
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
