// Threads of one process using the exports at once: a reader never sees half
// of an old and half of a new value. Also run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "interface_library/pelgrin32.h"
#include "tests/interface_library/test_area.h"
#include "tests/support/test_area_name.h"

namespace pelgrin32::testing {
namespace {

TEST(Pelgrin32Threads, ReadersSeeWholeValuesWhileAWriterWrites) {
    const feltrix::testing::TestAreaName name{"pelgrin32"};
    ASSERT_NE(Open("threads"), nullptr);
    constexpr int kWrites = 200000;
    const std::int32_t field = 17;                             // 32-bit record field
    const std::int32_t sample = extended(1, 1, 18, 3, 7);      // 16-bit ring sample
    const std::int32_t real = extended(1, 0, 22, 2, 0);        // float, through the real calls
    // Values whose two halves agree, so a torn read shows.
    const auto value = [](int i) { return static_cast<std::int32_t>((i & 0x7FFF) << 16 | (i & 0x7FFF)); };
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread writer([&] {
        for (int i = 0; i < kWrites; ++i) {
            DllCFunc(-field, value(i));
            EDllPoke(sample, (i & 0x7F) * 257);
            EDllDblPoke(real, static_cast<double>(i & 0xFFFF) + 0.5);
        }
        done = true;
    });
    std::thread reader([&] {
        while (!done) {
            const std::int32_t v = DllCFunc(field, 0);
            if ((v >> 16) != (v & 0xFFFF)) ++torn;
            const std::int32_t s = EDllPeek(sample);
            if (s % 257 != 0) ++torn;
            const double r = EDllDblPeek(real);
            if (r != 0.0 && r - static_cast<int>(r) != 0.5) ++torn;
        }
    });
    writer.join();
    reader.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(DllCFunc(field, 0), value(kWrites - 1));
}

TEST(Pelgrin32Threads, AttachWhileOtherThreadsRead) {
    const feltrix::testing::TestAreaName name{"pelgrin32"};
    ASSERT_NE(Open("first"), nullptr);
    DllCFunc(-3000, 99);
    std::atomic<bool> done{false};
    std::atomic<int> wrong{0};
    std::thread reader([&] {
        while (!done) if (DllCFunc(3000, 0) != 99) ++wrong;
    });
    for (int i = 0; i < 50; ++i) ASSERT_NE(Open("again"), nullptr);  // each a new view of the same area
    done = true;
    reader.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace pelgrin32::testing
