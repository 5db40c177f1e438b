// What the layout procedure writes and what it leaves alone (the fresh
// layout itself is checked byte for byte after a real attach).
#include <gtest/gtest.h>

#include "tests/interface_library/test_area.h"

namespace pelgrin32::testing {
namespace {

TEST(AreaLayout, LaidOutAreaIsLeftUntouched) {
    TestArea area;
    // Laid out by someone else, with data written since; even an odd-looking header stays.
    area.setI32(bandRecord(0, 3) + kValue, 77);
    area.setI16(hostWord(17), 5);
    area.setI32(12, 123456);
    const auto before = area.bytes;
    layOutArea(area.view());
    EXPECT_TRUE(differences(before, area.bytes).empty());
}

TEST(AreaLayout, WritesHeadersTablesAndRingHeadersOnly) {
    // Word 0 still 0 (not laid out), every other byte non-zero.
    std::vector<std::uint8_t> bytes(kSize, 0xA5);
    std::memset(bytes.data(), 0, 4);
    layOutArea({bytes.data(), bytes.size()});
    EXPECT_TRUE(isLaidOut({bytes.data(), bytes.size()}));
    const auto fresh = expectedFreshLayout();
    for (const std::size_t at : {hostWord(0), hostWord(32767), bandRecord(0, 1) + kValue, bandRecord(254, 15) + kReal3,
                                 auxRecord(3) + kAuxInteger, auxRecord(15) + kAuxReal1, channelRingSample(7, 4, 1919),
                                 bandRingSample(2, 9, 255)})
        EXPECT_EQ(bytes[at], 0xA5) << "offset " << at;
    for (const std::size_t at : {std::size_t{0}, std::size_t{12}, std::size_t{65616}, channelRecord(9) + 136,
                                 bandRecord(4, 4) + 52, channelRecord(1) + 2360 + 16})
        EXPECT_EQ(std::memcmp(&bytes[at], &fresh[at], 4), 0) << "offset " << at;
}

TEST(AreaLayout, TooSmallViewIsNotLaidOut) {
    std::vector<std::uint8_t> bytes(kSize - 1, 0);
    layOutArea({bytes.data(), bytes.size()});
    EXPECT_FALSE(isLaidOut({bytes.data(), bytes.size()}));
}

}  // namespace
}  // namespace pelgrin32::testing
