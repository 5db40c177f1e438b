// Band measures of a synthetic rhythm or an EDF/BDF recording (written here through libedf) of known
// amplitude and frequency, on the right side; blinks raise the artifact flag; clear errors.
#include <gtest/gtest.h>

#include <edflib.h>

#include <cmath>
#include <vector>

#include "tests/support/test_support.h"
#include "tools/acquire/acquisition.h"
#include "tools/acquire/edf_source.h"
#include "tools/acquire/synthetic_source.h"

using namespace eegsim;
using feltrix::testing::TempDir;

namespace {

// Runs `seconds` of the source through the measures; returns every frame.
std::vector<HostFrame> run(SignalSource& source, double seconds, const AnalysisConfig& analysis = {},
                           std::size_t* samples = nullptr) {
    Acquisition acquisition(analysis, source.sampleRate());
    std::vector<HostFrame> frames;
    std::vector<double> left, right;
    while (acquisition.seconds() < seconds) {
        const std::size_t n = acquisition.samplesForNextTick();
        left.resize(n), right.resize(n);
        EXPECT_EQ(source.read(left.data(), right.data(), n), n);
        if (samples != nullptr) *samples += n;
        frames.push_back(acquisition.tick(left.data(), right.data(), n));
    }
    return frames;
}

// The frame at `seconds` (32 ticks a second).
const HostFrame& at(const std::vector<HostFrame>& frames, double seconds) {
    return frames.at(static_cast<std::size_t>(seconds * 32) - 1);
}

// A peak amplitude as a band Value: RMS in 0.1 µV.
double valueOf(double peak) { return peak / std::sqrt(2.0) * 10.0; }

// Frequency in Hz; peak amplitude in the channel's unit.
struct Channel { const char* label; double frequency, amplitude; const char* unit; };
const std::vector<Channel> kChannels = {
    {"EEG C3", 6.0, 40.0, "uV"},   // theta
    {"ECG", 1.2, 900.0, "uV"},     // not chosen
    {"EEG C4", 17.0, 0.02, "mV"},  // beta, 20 µV given in millivolts
};

// Writes `seconds` of kChannels' sines, 256 samples per second per channel.
void writeRecording(const std::string& path, int fileType, int seconds) {
    const int rate = 256, digital = fileType == EDFLIB_FILETYPE_BDFPLUS ? 8388607 : 32767;
    const int handle = edfopen_file_writeonly(path.c_str(), fileType, static_cast<int>(kChannels.size()));
    ASSERT_GE(handle, 0);
    for (int i = 0; i < static_cast<int>(kChannels.size()); ++i) {
        const Channel& c = kChannels[i];
        ASSERT_EQ(edf_set_samplefrequency(handle, i, rate) | edf_set_physical_maximum(handle, i, 2 * c.amplitude) |
                      edf_set_physical_minimum(handle, i, -2 * c.amplitude) |
                      edf_set_digital_maximum(handle, i, digital) | edf_set_digital_minimum(handle, i, -digital - 1) |
                      edf_set_label(handle, i, c.label) | edf_set_physical_dimension(handle, i, c.unit),
                  0);
    }
    std::vector<double> buffer(rate);
    for (int second = 0; second < seconds; ++second) {
        for (const Channel& c : kChannels) {
            for (int n = 0; n < rate; ++n)
                buffer[n] = c.amplitude * std::sin(2.0 * M_PI * c.frequency * (second + n / double(rate)));
            ASSERT_EQ(edfwrite_physical_samples(handle, buffer.data()), 0);
        }
    }
    ASSERT_EQ(edfclose_file(handle), 0);
}

}  // namespace

// Peak frequency within 0.15 Hz (0.3 with noise), Value within 5 % (10 %), modal frequency within
// its bin; two clean copies of one rhythm are fully coherent, the left leading by the right's lag.
TEST(SyntheticMeasures, KnownAlphaGivesItsValueAndPeakFrequency) {
    const struct { double frequency, amplitude, background, rightFactor, rightLag; } cases[] = {
        {10.0, 30.0, 0.0, 1.0, 0.0}, {8.7, 12.0, 0.0, 1.0, 0.0}, {11.3, 50.0, 0.0, 1.0, 0.0},
        {9.4, 20.0, 6.0, 1.0, 0.0},  {10.0, 20.0, 0.0, 1.5, 30.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frequency << " Hz, " << c.amplitude << " µV, noise " << c.background
                                        << ", right " << c.rightFactor << " times, " << c.rightLag << " degrees");
        SyntheticConfig config;  // nothing but a steady alpha rhythm, eyes closed throughout
        config.backgroundRms = c.background;
        config.alphaFrequency = c.frequency;
        config.alphaClosedAmplitude = c.amplitude;
        config.alphaWaxWane = config.alphaDrift = config.openSeconds = 0.0;
        config.thetaAmplitude = config.betaAmplitude = config.blinksPerMinute = 0.0;
        config.rightAlphaFactor = c.rightFactor;
        config.rightPhaseLagDegrees = c.rightLag;
        SyntheticSource source(config);
        const HostFrame last = run(source, c.rightLag == 0 ? 6.0 : 8.0).back();
        const bool clean = c.background == 0;
        for (int side = 0; side < kSides; ++side) {
            SCOPED_TRACE(sideName(side));
            const double value = valueOf(c.amplitude * (side == 0 ? 1.0 : c.rightFactor));
            EXPECT_NEAR(last.band[side][Alpha][Value], value, (clean ? 0.05 : 0.10) * value);
            EXPECT_NEAR(last.band[side][Alpha][PeakFrequency], c.frequency * 10.0, clean ? 1.5 : 3.0);
            EXPECT_NEAR(last.band[side][Alpha][ModalFrequency], c.frequency * 10.0, 5.0);
            if (!clean) continue;
            EXPECT_LT(last.band[side][Beta][Value], 5);
            EXPECT_GE(last.band[side][Alpha][Coher], 98);
            EXPECT_NEAR(last.band[side][Alpha][Phase], side == 0 ? c.rightLag : -c.rightLag, 2);
        }
        EXPECT_EQ(last.artifact, 0);
    }
}

// The default limit is 100 µV over a 2 s window; an event's flag stays up
// for 0.3 s (10 ticks).
TEST(SyntheticMeasures, ABlinkRaisesTheArtifactFlagAndItsEvents) {
    SyntheticConfig config;
    config.openSeconds = config.blinksPerMinute = 0.0;
    config.blinkTimes = {4.0};
    SyntheticSource source(config);
    const std::vector<HostFrame> frames = run(source, 9.0);
    const int start = kArtifactStartEvent - 1;
    EXPECT_EQ(at(frames, 3.9).artifact + at(frames, 3.9).eventValB[start], 0);
    EXPECT_EQ(at(frames, 4.25).artifact + at(frames, 4.25).eventValB[start], 2);
    EXPECT_GT(at(frames, 4.25).eventValA[start], 1000);
    EXPECT_EQ(at(frames, 5.5).artifact, 1);  // still inside the window
    EXPECT_EQ(at(frames, 8.9).artifact, 0);
    EXPECT_EQ(at(frames, 8.9).eventValB[kArtifactEndEvent - 1], 1);
    int flagged = 0;
    for (const HostFrame& frame : frames) flagged += frame.eventFlag[start];
    EXPECT_EQ(flagged, 10);
}

// Eyes closing at 6 s and opening at 12 s cross a fixed threshold once each way; an event
// carries the mean of both sides' Alpha at its crossing.
TEST(SyntheticMeasures, AlphaCrossingAFixedThresholdFiresItsEvents) {
    SyntheticConfig config;
    config.blinksPerMinute = config.alphaWaxWane = 0.0;
    config.openSeconds = config.closedSeconds = 6.0;
    SyntheticSource source(config);
    AnalysisConfig analysis;
    analysis.fixedThreshold[Alpha] = 120;
    const std::vector<HostFrame> frames = run(source, 14.0, analysis);
    const HostFrame& last = frames.back();
    EXPECT_EQ(last.band[0][Alpha][Threshold], 120);
    EXPECT_EQ(last.band[0][Alpha][NextThreshold], 120);
    EXPECT_TRUE(last.eventValB[0] == 1 && last.eventValB[1] == 1);  // up once, down once
    EXPECT_GE(last.band[0][Alpha][Hits], 1);
    const auto down = std::find_if(frames.begin(), frames.end(), [](const HostFrame& f) { return f.eventFlag[1]; });
    ASSERT_NE(down, frames.end());
    EXPECT_EQ(down->eventValA[1], (down->band[0][Alpha][Value] + down->band[1][Alpha][Value]) / 2);
}

// 250 Hz does not divide by 32 updates a second: 32 ticks still take exactly
// 250 samples; a blink far past the 16-bit range in 0.1 µV saturates.
TEST(SyntheticMeasures, TicksKeepTheirPaceAndValuesSaturate) {
    SyntheticConfig config;
    config.sampleRate = 250.0;
    config.blinkAmplitude = 5000.0;
    config.blinkTimes = {1.0};
    SyntheticSource source(config);
    std::size_t samples = 0;
    const std::vector<HostFrame> frames = run(source, 3.0, {}, &samples);
    EXPECT_EQ(frames.size(), 96u);
    EXPECT_EQ(frames[40].eventValA[kArtifactStartEvent - 1], 32767);
    EXPECT_EQ(samples, 750u);
}

// Catches channels read from the wrong column or side, units ignored, 24-bit
// samples misread, and labels compared with case or blanks.
TEST(EdfSource, ChosenChannelsGiveTheirBandOnTheirSide) {
    for (const int type : {EDFLIB_FILETYPE_EDFPLUS, EDFLIB_FILETYPE_BDFPLUS}) {
        SCOPED_TRACE(type);
        TempDir dir;
        writeRecording(dir.file("session.edf"), type, 4);
        std::string error;
        auto source = EdfSource::open({dir.file("session.edf"), " eeg c3", "EEG C4 ", true}, error);
        ASSERT_TRUE(source) << error;
        EXPECT_EQ(source->sampleRate(), 256.0);
        EXPECT_EQ(source->leftLabel(), "EEG C3");
        const HostFrame frame = run(*source, 3.5).back();
        EXPECT_NEAR(frame.band[0][Theta][Value], valueOf(40), 0.05 * valueOf(40));
        EXPECT_NEAR(frame.band[0][Theta][PeakFrequency], 60, 2);
        EXPECT_LT(frame.band[0][Beta][Value], 5);
        EXPECT_NEAR(frame.band[1][Beta][Value], valueOf(20), 0.05 * valueOf(20));
        EXPECT_NEAR(frame.band[1][Beta][PeakFrequency], 170, 2);
        EXPECT_LT(frame.band[1][Theta][Value], 5);
        EXPECT_EQ(frame.artifact, 0);
    }
}

TEST(EdfSource, LoopsAtTheEndUnlessToldNotTo) {
    TempDir dir;
    const std::string path = dir.file("short.bdf");
    writeRecording(path, EDFLIB_FILETYPE_BDFPLUS, 2);  // 512 samples
    std::vector<double> left(1000), right(1000);
    std::string error;
    auto looping = EdfSource::open({path, "EEG C3", "EEG C4", true}, error);
    ASSERT_TRUE(looping) << error;
    EXPECT_EQ(looping->read(left.data(), right.data(), 1000), 1000u);
    EXPECT_NEAR(left[512], left[0], 1e-6);
    looping.reset();  // libedf opens a file once at a time
    auto once = EdfSource::open({path, "EEG C3", "EEG C4", false}, error);
    ASSERT_TRUE(once) << error;
    EXPECT_EQ(once->read(left.data(), right.data(), 1000), 512u);
    EXPECT_EQ(once->read(left.data(), right.data(), 10), 0u);
}

// (A missing file is reported by the program test.)
TEST(EdfSource, ClearErrors) {
    TempDir dir;
    const std::string good = dir.file("good.edf");
    writeRecording(good, EDFLIB_FILETYPE_EDFPLUS, 1);
    const struct { EdfChoice choice; std::vector<std::string> mentions; } cases[] = {
        {{dir.write("empty.edf", ""), "", "", true}, {"empty.edf", "is not an EDF"}},
        {{good, "Fp1", "EEG C4", true}, {"\"Fp1\"", "\"EEG C3\", \"ECG\", \"EEG C4\""}},
        {{good, "EEG C3", "O2", true}, {"\"O2\""}},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(EdfSource::open(c.choice, error));
        for (const std::string& part : c.mentions) EXPECT_NE(error.find(part), std::string::npos) << error;
    }
}
