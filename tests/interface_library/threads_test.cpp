// Threads using the exports at once: a reader never sees half of an old and half of a new value.
// Also run under ThreadSanitizer. (Earlier views stay usable after an Open: the exports test.)
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
    // A 32-bit record field, a 16-bit ring sample, a float through the real calls.
    const std::int32_t field = 17, sample = extended(1, 1, 18, 3, 7), real = extended(1, 0, 22, 2, 0);
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
            const double r = EDllDblPeek(real);
            if ((v >> 16) != (v & 0xFFFF) || EDllPeek(sample) % 257 != 0 || (r != 0.0 && r - int(r) != 0.5)) ++torn;
        }
    });
    writer.join();
    reader.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(DllCFunc(field, 0), value(kWrites - 1));
}

}  // namespace
}  // namespace pelgrin32::testing
