// Indices outside the data model and corrupted area content touch nothing outside what an index
// names (AddressSanitizer sees any access past the test area, a heap block of exactly its size).
#include <gtest/gtest.h>

#include <random>

#include "interface_library/extended_index.h"
#include "interface_library/plain_index.h"
#include "tests/interface_library/test_area.h"

namespace pelgrin32::testing {
namespace {

// A laid-out area whose data fields all hold 0xA5 bytes, so that a read of 0
// is not an accident.
TestArea patternedArea() {
    TestArea area;
    std::fill(area.bytes.begin(), area.bytes.end(), 0xA5);
    std::memset(area.bytes.data(), 0, 4);
    layOutArea(area.view());
    return area;
}

std::vector<std::int32_t> outOfLimitIndices() {
    std::vector<std::int32_t> indices;
    for (std::uint32_t f = 1; f < 64; ++f) {
        indices.push_back(extended(0, 0, f, 1, 0));  // channel 0 names no record
        indices.push_back(extended(0, 1, f, 1, 0));
        for (const std::uint32_t k : {16u, 17u, 128u, 255u}) {
            indices.push_back(extended(1, 0, f, k, 3));  // band 16 or more
            indices.push_back(extended(200, 0, f, k, 0));
            indices.push_back(extended(1, 2, f, k, 0));  // auxiliary record 16 or more
        }
    }
    for (std::uint32_t i = 1920; i < 2048; ++i) indices.push_back(extended(1, 1, 18, i >> 8, i & 255));
    for (std::uint32_t i = 256; i < 2048; i += 7) indices.push_back(extended(2, 1, 19, i >> 8, i & 255));
    for (std::uint32_t w = 32768; w < 65536; w += 97) {
        indices.push_back(extended(1, 0, 0, w >> 8, w & 255));  // words past the host block
        indices.push_back(extended(0, 2, 0, w >> 8, w & 255));
    }
    return indices;
}

TEST(OutOfLimits, IndicesOutsideTheModelReadZeroAndWriteNothingAnywhere) {
    TestArea area = patternedArea();
    const auto before = area.bytes;
    for (const std::int32_t index : outOfLimitIndices()) {
        ASSERT_EQ(readExtended(area.view(), index), 0) << std::hex << index;
        ASSERT_EQ(readExtendedReal(area.view(), index), 0.0) << std::hex << index;
        ASSERT_EQ(writeExtended(area.view(), index, 1613), 0) << std::hex << index;
        ASSERT_EQ(writeExtendedReal(area.view(), index, 16.0), 0) << std::hex << index;
    }
    for (int index = 32768; index < 65536; ++index) {  // plain indices past the host block
        ASSERT_EQ(writePlain(area.view(), index, 0x7777), 0) << index;
        ASSERT_EQ(readPlain(area.view(), index), 0) << index;
    }
    EXPECT_TRUE(sameBytes(before, area.bytes));
}

// Each row spoils one offset the decoders follow, and names an index whose
// way leads through it.
const struct Corruption { const char* what; std::size_t at; std::uint32_t value; std::int32_t index; } kCorruptions[] = {
    {"channel table past the end", 12, 4397436, extended(1, 0, 2, 1, 0)},
    {"channel table far away", 12, 0xFFFFFFF0, extended(1, 0, 2, 1, 0)},
    {"aux table past the end", 16, 4397440 - 8, extended(0, 2, 3, 1, 0)},
    {"aux table misaligned", 16, 66637, extended(0, 2, 3, 1, 0)},
    {"channel record 0 at the end", 65616, 4397440 - 100, extended(1, 0, 2, 1, 0)},
    {"channel record 254 far away", 65616 + 4 * 254, 0x80000000, extended(255, 0, 2, 1, 0)},
    {"channel record 1 misaligned", 65620, 66710, extended(2, 0, 2, 1, 0)},
    {"band record 3 outside its channel", channelRecord(0) + 136 + 12, 16980 - 4, extended(1, 0, 2, 3, 0)},
    {"band record 1 far away", channelRecord(1) + 136 + 4, 0xFFFFFFFC, extended(2, 0, 2, 1, 0)},
    {"band ring outside its band", bandRecord(0, 2) + 52, 600, extended(1, 0, 15, 2, 0)},
    {"band ring first sample past the ring", bandRecord(0, 2) + 132 + 12, 540, extended(1, 0, 15, 2, 0)},
    {"long ring outside the record", channelRecord(0) + 68, 16000, extended(1, 1, 18, 0, 0)},
    {"long ring first sample odd", channelRecord(0) + 2360 + 12, 29, extended(1, 1, 18, 0, 0)},
    {"short ring first sample huge", channelRecord(1) + 200 + 12, 0x7FFFFFFF, extended(2, 1, 15, 0, 0)},
    {"aux record 15 past the end", 66644 + 60, 4397440 - 4, extended(0, 2, 3, 15, 0)},
};

// Every decoder with random indices of every group, plain ones included: under
// AddressSanitizer any access outside the area shows.
void exercise(AreaView view, std::mt19937& random) {
    for (int n = 0; n < 3000; ++n) {
        const std::uint32_t channels[] = {0, 1, 2, 255};  // mostly in range: the tables' ways are taken
        const std::int32_t index =
            extended(channels[random() % 4], random() % 4, random() % 64, random() % 20, random() % 256);
        readExtended(view, index);
        writeExtended(view, index, n);
        readExtendedReal(view, index);
        writeExtendedReal(view, index, n);
        readPlain(view, index & 0xFFFF);
        writePlain(view, index & 0xFFFF, n);
    }
}

TEST(OutOfLimits, CorruptedOffsetsNeverLeadOutsideTheArea) {
    std::mt19937 random(20261206);
    for (const Corruption& c : kCorruptions) {
        SCOPED_TRACE(c.what);
        TestArea area = patternedArea();
        std::memcpy(&area.bytes[c.at], &c.value, 4);
        const auto before = area.bytes;  // the index's field cannot be reached
        EXPECT_EQ(readExtended(area.view(), c.index), 0);
        EXPECT_EQ(writeExtended(area.view(), c.index, 5), 0);
        EXPECT_TRUE(sameBytes(before, area.bytes));
        exercise(area.view(), random);
    }
}

}  // namespace
}  // namespace pelgrin32::testing
