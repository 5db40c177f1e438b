// The byte layout of a freshly laid-out area, and what the layout procedure
// leaves alone.
#include <gtest/gtest.h>

#include "tests/interface_library/test_area.h"

namespace pelgrin32::testing {
namespace {

TEST(AreaLayout, FreshLayoutMatchesEveryByte) {
    TestArea area;
    const auto diff = differences(area.bytes, expectedFreshLayout());
    ASSERT_TRUE(diff.empty()) << diff.size() << " bytes differ, the first at offset " << diff.front();
    EXPECT_TRUE(isLaidOut(area.view()));
}

TEST(AreaLayout, LaidOutAreaIsLeftUntouched) {
    TestArea area;
    // An area laid out by someone else, with data written since.
    area.setI32(bandRecord(0, 3) + kValue, 77);
    area.setI16(hostWord(17), 5);
    area.setI32(12, 123456);  // even an odd-looking header stays
    const auto before = area.bytes;
    layOutArea(area.view());
    EXPECT_TRUE(differences(before, area.bytes).empty());
}

TEST(AreaLayout, DataFieldsKeepTheirContentWhenLayingOut) {
    // Word 0 still 0, every other byte non-zero: the layout writes headers,
    // tables and ring headers and nothing else.
    std::vector<std::uint8_t> bytes(kSize, 0xA5);
    std::memset(bytes.data(), 0, 4);
    layOutArea({bytes.data(), bytes.size()});
    const auto fresh = expectedFreshLayout();
    for (const std::size_t at : {hostWord(0), hostWord(32767), bandRecord(0, 1) + kValue, bandRecord(254, 15) + kReal3,
                                 auxRecord(3) + kAuxInteger, auxRecord(15) + kAuxReal1, channelRingSample(7, 4, 1919),
                                 bandRingSample(2, 9, 255)}) {
        EXPECT_EQ(bytes[at], 0xA5) << "offset " << at;
    }
    for (const std::size_t at : {std::size_t{0}, std::size_t{12}, std::size_t{65616}, channelRecord(9) + 136,
                                 bandRecord(4, 4) + 52, channelRecord(1) + 2360 + 16}) {
        EXPECT_EQ(std::memcmp(&bytes[at], &fresh[at], 4), 0) << "offset " << at;
    }
}

TEST(AreaLayout, TooSmallViewIsNotLaidOut) {
    std::vector<std::uint8_t> bytes(kSize - 1, 0);
    layOutArea({bytes.data(), bytes.size()});
    EXPECT_FALSE(isLaidOut({bytes.data(), bytes.size()}));
}

}  // namespace
}  // namespace pelgrin32::testing
