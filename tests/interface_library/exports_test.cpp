// The exports, called in this process through the shared library itself, and
// the names the library file exports.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <set>

#include "interface_library/pelgrin32.h"
#include "tests/interface_library/test_area.h"
#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

namespace pelgrin32::testing {
namespace {

using namespace feltrix::testing;

class Pelgrin32Exports : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = static_cast<std::uint8_t*>(Open("test"));
        ASSERT_NE(host_, nullptr);
        area_ = host_ - kHostBlock;
    }
    std::int16_t word(std::size_t i) const { std::int16_t v; std::memcpy(&v, area_ + hostWord(i), 2); return v; }

    TestAreaName name_{"pelgrin32"};
    std::uint8_t* host_ = nullptr;
    std::uint8_t* area_ = nullptr;
};

TEST_F(Pelgrin32Exports, FreshAttachCreatesAnOwnerOnlyAreaLaidOutByteForByte) {
    EXPECT_TRUE(sameBytes({area_, area_ + kSize}, expectedFreshLayout()));
    EXPECT_TRUE(isLaidOut({area_, kSize}));
    struct stat info {};
    const int fd = shm_open(name_.name().c_str(), O_RDONLY, 0);
    ASSERT_TRUE(fd >= 0 && fstat(fd, &info) == 0 && close(fd) == 0);
    EXPECT_EQ(info.st_size, 4397440);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// Each export reaches the decoder its index form asks for.
TEST_F(Pelgrin32Exports, EachExportDispatchesToItsDecoder) {
    EXPECT_EQ(DllCFunc(-17, 70000), 70000);
    EXPECT_EQ(DllCFunc(17, 0), 70000);
    EXPECT_EQ(DllPeek(17), 70000);
    EXPECT_EQ(EDllPeek(17), 4464);  // always extended: the word
    EXPECT_EQ(DllCFunc(-16909056, 9), 9);  // channel 1, group 0, field 2, band 3
    EXPECT_EQ(DllCFunc(16909056, 0), 9);
    EXPECT_EQ(DllCFunc(-1030, 4), 0);
    EXPECT_EQ(DllCFunc(-1616, 4), 4);
    EXPECT_EQ(DllCF16(1616, 0), 4);
    EXPECT_EQ(DllCF16(-1617, 6), 6);
    EXPECT_EQ(DllCFunc(INT_MIN, 77), 77);  // negates to itself: group 0 field 0, word 0
    EXPECT_EQ(word(0), 77);
    EXPECT_EQ(DllPoke(extended(1, 0, 2, 4, 0), 8), 8);
    EXPECT_EQ(DllPeek(4), 8);  // the plain code of the same field
    EXPECT_EQ(DllPeek(-17), 0);  // negative: extended, group 3, no word
    EXPECT_EQ(DllPoke(-17, 3), 0);
    EXPECT_EQ(EDllPoke(extended(0, 2, 0, 1, 0xF4), 1613), 1613);
    EXPECT_EQ(EDllDblPoke(extended(2, 0, 23, 1, 0), 2.5), 2);
    EXPECT_EQ(EDllDblPeek(extended(2, 0, 23, 1, 0)), 2.5);
    EXPECT_EQ(EDllPeek(extended(2, 0, 23, 1, 0)), 25);
}

TEST_F(Pelgrin32Exports, EveryOpenFormMapsAFreshViewOfTheSameArea) {
    DllCFunc(-3000, 1234);
    const std::uint64_t eight = 0;
    for (void* view : {OpenB(&eight), OpenL(1), OpenL16(2), Open(nullptr)}) {
        ASSERT_NE(view, nullptr);
        EXPECT_NE(view, host_);
        std::int16_t v;
        std::memcpy(&v, static_cast<std::uint8_t*>(view) + 2 * 3000, 2);
        EXPECT_EQ(v, 1234);
    }
    DllCFunc(-3001, 55);  // through the newest view; the first stays usable
    EXPECT_EQ(word(3001), 55);
}

// Something else holds the name with a size that is not the area's.
TEST_F(Pelgrin32Exports, FailedAttachLeavesTheProcessNotAttached) {
    TestAreaName foreign{"pelgrin32"};
    const int fd = shm_open(foreign.name().c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_TRUE(fd >= 0 && ftruncate(fd, 100) == 0 && close(fd) == 0);
    EXPECT_EQ(Open("again"), nullptr);
    EXPECT_EQ(DllCFunc(-5, 1), -1);  // each export's not-attached value: the processes test
    EXPECT_EQ(foreign.snapshot().size(), 100u);  // not resized
}

TEST(Pelgrin32Library, ExportsExactlyTheSixteenNamesWithCLinkage) {
    const RunResult r = runProgram("/usr/bin/nm", {{"-D", "--defined-only", PELGRIN32_LIBRARY}, {}, {}, false, {},
                                                   std::chrono::seconds(20)});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::set<std::string> names;
    for (const std::string& line : lines(r.out)) names.insert(line.substr(line.rfind(' ') + 1));
    EXPECT_EQ(names, (std::set<std::string>{"Open", "OpenB", "OpenL", "OpenL16", "DllCFunc", "DllCF16", "DllPeek",
                                            "DllPoke", "EDllPeek", "EDllPoke", "EDllDblPeek", "EDllDblPoke",
                                            "EDllCRead", "EDllCWrite", "fnTuskExtDll", "nTuskExtDll"}));
}

}  // namespace
}  // namespace pelgrin32::testing
