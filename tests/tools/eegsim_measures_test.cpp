// Band measures of the synthetic signal: a rhythm of known amplitude and
// frequency must come out as the right Value and PeakFrequency, on the right
// side; blinks raise the artifact flag; the same seed repeats the session.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tools/eegsim/acquisition.h"
#include "tools/eegsim/synthetic_source.h"

using namespace eegsim;

namespace {

// A signal with nothing but a steady alpha rhythm (eyes always closed).
SyntheticConfig pureAlpha(double frequency, double amplitude) {
    SyntheticConfig config;
    config.backgroundRms = 0.0;
    config.alphaFrequency = frequency;
    config.alphaClosedAmplitude = amplitude;
    config.alphaWaxWane = 0.0;
    config.alphaDrift = 0.0;
    config.openSeconds = 0.0;  // eyes closed throughout
    config.thetaAmplitude = 0.0;
    config.betaAmplitude = 0.0;
    config.blinksPerMinute = 0.0;
    return config;
}

// Runs `seconds` of the source through the measures; returns every frame.
std::vector<HostFrame> run(SignalSource& source, double seconds, const AnalysisConfig& analysis = {}) {
    Acquisition acquisition(analysis, source.sampleRate());
    std::vector<HostFrame> frames;
    std::vector<double> left, right;
    while (acquisition.seconds() < seconds) {
        std::size_t n = acquisition.samplesForNextTick();
        left.resize(n);
        right.resize(n);
        source.read(left.data(), right.data(), n);
        frames.push_back(acquisition.tick(left.data(), right.data(), n));
    }
    return frames;
}

}  // namespace

struct AlphaCase {
    double frequency;
    double amplitude;  // peak, µV
    double background; // RMS of the 1/f background, µV
};

class KnownAlpha : public ::testing::TestWithParam<AlphaCase> {};

// Value is the band's RMS amplitude in 0.1 µV (a sine of peak A: A / sqrt 2);
// within 5 % (10 % with background). PeakFrequency in 0.1 Hz within 0.15 Hz
// (0.3 Hz with background).
TEST_P(KnownAlpha, ValueAndPeakFrequencyMatchTheRhythm) {
    const AlphaCase c = GetParam();
    SyntheticConfig config = pureAlpha(c.frequency, c.amplitude);
    config.backgroundRms = c.background;
    config.rightAlphaFactor = 1.0;
    SyntheticSource source(config);
    std::vector<HostFrame> frames = run(source, 6.0);
    const HostFrame& last = frames.back();
    const double expectedValue = c.amplitude / std::sqrt(2.0) * 10.0;
    const double valueTolerance = (c.background > 0 ? 0.10 : 0.05) * expectedValue;
    const double peakTolerance = c.background > 0 ? 3.0 : 1.5;
    for (int side = 0; side < kSides; ++side) {
        SCOPED_TRACE(sideName(side));
        EXPECT_NEAR(last.band[side][Alpha][Value], expectedValue, valueTolerance);
        EXPECT_NEAR(last.band[side][Alpha][PeakFrequency], c.frequency * 10.0, peakTolerance);
        // Modal frequency: the most frequent peak bin (0.5 Hz resolution).
        EXPECT_NEAR(last.band[side][Alpha][ModalFrequency], c.frequency * 10.0, 5.0);
        if (c.background == 0) {
            EXPECT_LT(last.band[side][Delta][Value], 5);
            EXPECT_LT(last.band[side][Beta][Value], 5);
        }
        EXPECT_EQ(last.artifact, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Rhythms, KnownAlpha,
                         ::testing::Values(AlphaCase{10.0, 30.0, 0.0}, AlphaCase{8.7, 12.0, 0.0},
                                           AlphaCase{11.3, 50.0, 0.0}, AlphaCase{10.0, 30.0, 6.0},
                                           AlphaCase{9.4, 20.0, 4.0}));

TEST(SyntheticMeasures, RightSideDiffersInAmplitudeAndPhase) {
    SyntheticConfig config = pureAlpha(10.0, 20.0);
    config.rightAlphaFactor = 1.5;
    config.rightPhaseLagDegrees = 30.0;
    SyntheticSource source(config);
    const HostFrame last = run(source, 8.0).back();
    EXPECT_NEAR(last.band[1][Alpha][Value] / double(last.band[0][Alpha][Value]), 1.5, 0.05);
    // Two clean copies of one rhythm: fully coherent; left leads by 30 degrees.
    EXPECT_GE(last.band[0][Alpha][Coher], 98);
    EXPECT_EQ(last.band[0][Alpha][Coher], last.band[1][Alpha][Coher]);
    EXPECT_NEAR(last.band[0][Alpha][Phase], 30, 2);
    EXPECT_NEAR(last.band[1][Alpha][Phase], -30, 2);
}

TEST(SyntheticMeasures, IndependentBackgroundLowersCoherence) {
    SyntheticConfig config = pureAlpha(10.0, 0.0);
    config.alphaOpenAmplitude = 0.0;
    config.backgroundRms = 10.0;
    config.backgroundShared = 0.0;
    SyntheticSource source(config);
    const HostFrame last = run(source, 20.0).back();
    for (int band : {Delta, Theta, Beta}) EXPECT_LT(last.band[0][band][Coher], 60) << bandName(band);
}

TEST(SyntheticMeasures, EyesClosedBlocksRaiseAlpha) {
    SyntheticConfig config;  // the default session: 10 s open, 20 s closed
    config.blinksPerMinute = 0.0;
    SyntheticSource source(config);
    std::vector<HostFrame> frames = run(source, 30.0);
    auto alphaAt = [&](double seconds) { return frames[static_cast<std::size_t>(seconds * 32) - 1].band[0][Alpha][Value]; };
    auto meanAlpha = [&](double from, double to) {
        double sum = 0;
        int n = 0;
        for (double t = from; t < to; t += 0.5, ++n) sum += alphaAt(t);
        return sum / n;
    };
    EXPECT_GT(meanAlpha(20, 29), 2.0 * meanAlpha(4, 9));
}

TEST(SyntheticMeasures, ABlinkRaisesTheArtifactFlagAndItsEvents) {
    SyntheticConfig config;
    config.openSeconds = 0.0;
    config.blinksPerMinute = 0.0;
    config.blinkTimes = {4.0};
    SyntheticSource source(config);
    AnalysisConfig analysis;  // 2 s window, limit 100 µV
    std::vector<HostFrame> frames = run(source, 9.0, analysis);
    auto at = [&](double seconds) { return frames[static_cast<std::size_t>(seconds * 32) - 1]; };
    EXPECT_EQ(at(3.9).artifact, 0);
    EXPECT_EQ(at(3.9).eventValB[kArtifactStartEvent - 1], 0);
    EXPECT_EQ(at(4.25).artifact, 1);
    EXPECT_EQ(at(5.5).artifact, 1);  // still inside the analysis window
    EXPECT_EQ(at(4.25).eventValB[kArtifactStartEvent - 1], 1);
    EXPECT_GT(at(4.25).eventValA[kArtifactStartEvent - 1], 1000);  // over 100 µV, in 0.1 µV
    EXPECT_EQ(at(8.9).artifact, 0);  // the blink has left the window
    EXPECT_EQ(at(8.9).eventValB[kArtifactEndEvent - 1], 1);
    // The flag of an event stays up for the hold time (0.3 s = 10 ticks).
    int flagged = 0;
    for (const HostFrame& frame : frames) flagged += frame.eventFlag[kArtifactStartEvent - 1];
    EXPECT_EQ(flagged, 10);
}

TEST(SyntheticMeasures, AlphaRisingOverAFixedThresholdFiresEventOne) {
    SyntheticConfig config;
    config.blinksPerMinute = 0.0;
    config.openSeconds = 6.0;
    config.closedSeconds = 6.0;
    config.alphaWaxWane = 0.0;
    SyntheticSource source(config);
    AnalysisConfig analysis;
    analysis.fixedThreshold[Alpha] = 120;  // 12 µV: between eyes open and closed
    std::vector<HostFrame> frames = run(source, 14.0, analysis);
    const HostFrame& last = frames.back();
    EXPECT_EQ(last.band[0][Alpha][Threshold], 120);
    EXPECT_EQ(last.band[0][Alpha][NextThreshold], 120);
    EXPECT_EQ(last.eventValB[0], 1);  // up once (eyes closing at 6 s)
    EXPECT_EQ(last.eventValB[1], 1);  // down once (eyes opening at 12 s)
    EXPECT_GE(last.band[0][Alpha][Hits], 1);
    EXPECT_EQ(last.band[0][Alpha][Mode], 0);
}

TEST(SyntheticMeasures, TheSameSeedRepeatsTheSession) {
    SyntheticConfig config;
    SyntheticSource a(config), b(config);
    config.seed = 2;
    SyntheticSource c(config);
    std::vector<HostFrame> first = run(a, 5.0), second = run(b, 5.0), third = run(c, 5.0);
    EXPECT_TRUE(first == second);
    EXPECT_FALSE(first == third);
}

TEST(SyntheticMeasures, ChunkSizeDoesNotChangeTheSignal) {
    SyntheticSource whole(SyntheticConfig{}), pieces(SyntheticConfig{});
    std::vector<double> l1(1000), r1(1000), l2(1000), r2(1000);
    whole.read(l1.data(), r1.data(), 1000);
    for (std::size_t at = 0; at < 1000; at += 7) pieces.read(&l2[at], &r2[at], std::min<std::size_t>(7, 1000 - at));
    EXPECT_EQ(l1, l2);
    EXPECT_EQ(r1, r2);
}

TEST(SyntheticMeasures, EveryValueFitsAndTicksKeepTheirPace) {
    // 250 Hz does not divide by 32 updates per second: the sample counts per
    // tick vary so that 32 ticks take exactly 250 samples.
    SyntheticConfig config;
    config.sampleRate = 250.0;
    config.blinkAmplitude = 5000.0;  // far past the 16-bit range in 0.1 µV
    config.blinkTimes = {1.0};
    SyntheticSource source(config);
    Acquisition acquisition(AnalysisConfig{}, source.sampleRate());
    std::size_t samples = 0;
    std::vector<double> l(64), r(64);
    for (int i = 0; i < 96; ++i) {
        std::size_t n = acquisition.samplesForNextTick();
        samples += n;
        source.read(l.data(), r.data(), n);
        const HostFrame& frame = acquisition.tick(l.data(), r.data(), n);
        if (i == 40) {
            EXPECT_EQ(frame.eventValA[kArtifactStartEvent - 1], 32767);
        }
    }
    EXPECT_EQ(samples, 750u);
}
