// One band's running statistics: the window slides, the threshold follows once per period, hits
// count upward crossings, artifacts freeze everything (a fixed threshold: the sources test).
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "tools/acquire/band_statistics.h"

using namespace eegsim;

TEST(BandStatistics, WindowSlidesAndThresholdMovesOncePerPeriod) {
    // A window of 4 ticks, damping 0.5, threshold = mean + 1 SD refreshed every 4 ticks, 8 spectrum bins.
    BandStatistics stats(BandStatisticsSettings{4, 0.5, 1.0, 4, false, 0, 8});
    struct Step { int16_t value, mean, deviation, threshold, nextThreshold, percentOver, hits, mode, damped; };
    // The threshold follows the statistics during the first period.
    const std::vector<Step> steps = {
        {100, 100, 0, 100, 100, 0, 0, 0, 100},      // first value: nothing to compare with yet
        {200, 150, 50, 200, 200, 50, 1, 1, 150},    // 200 > 100: over, a hit
        {100, 133, 47, 180, 180, 33, 1, 0, 125},
        {100, 125, 43, 168, 168, 25, 1, 0, 113},
        {400, 200, 122, 322, 322, 50, 2, 1, 256},   // window full, first 100 leaves; period boundary
        {400, 250, 150, 322, 400, 50, 2, 1, 328},   // mid-period: threshold holds, next moves
        {100, 250, 150, 322, 400, 50, 2, 0, 214},
        {100, 250, 150, 322, 400, 50, 2, 0, 157},
        {500, 275, 179, 454, 454, 50, 3, 1, 329},   // next boundary: threshold refreshed
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::Message() << "tick " << &s - steps.data());
        const BandStatisticsOutput& o = stats.update(s.value, 3, false);
        EXPECT_EQ(std::tie(o.mean, o.standardDeviation, o.threshold, o.nextThreshold, o.percentOver, o.hits, o.mode,
                           o.dampedValue),
                  std::tie(s.mean, s.deviation, s.threshold, s.nextThreshold, s.percentOver, s.hits, s.mode, s.damped));
    }
}

TEST(BandStatistics, ArtifactsFreezeTheStatisticsAndCountAsNotOver) {
    BandStatistics stats(BandStatisticsSettings{10, 0.5, 1.0, 100, false, 0, 8});
    for (int i = 0; i < 5; ++i) stats.update(100, 2, false);
    stats.update(300, 2, false);
    const BandStatisticsOutput before = stats.output();
    ASSERT_EQ(before.mode, 1);
    const BandStatisticsOutput& during = stats.update(3000, 5, true);
    EXPECT_TRUE(during.mean == before.mean && during.standardDeviation == before.standardDeviation &&
                during.percentOver == before.percentOver);
    EXPECT_EQ(during.modalBin, 2u);
    EXPECT_EQ(during.mode, 0);
    // Back over the threshold after the artifact: a new hit.
    EXPECT_EQ(stats.update(300, 2, false).hits, before.hits + 1);
}
