// The mixer pulled block by block without a device.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "audio/channel_controls.h"
#include "audio/channel_table.h"
#include "audio/mixer.h"
#include "tests/audio/audio_test_files.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;

constexpr int kRate = 48000;

// Mixes `frames` frames in blocks of `block`; returns the interleaved output.
std::vector<float> mix(ChannelTable& table, std::uint32_t frames, std::uint32_t block = 512) {
    std::vector<float> out(2 * static_cast<std::size_t>(frames));
    for (std::uint32_t done = 0; done < frames; done += block) {
        const std::uint32_t n = std::min(block, frames - done);
        audio_thread::mixChannels(table, out.data() + 2 * done, n);
    }
    return out;
}

AudioChannel* addChannel(ChannelTable& table, const std::vector<float>& samples, std::uint32_t rate = kRate) {
    AudioChannel* channel = makeChannel(samples, rate);
    EXPECT_TRUE(table.append(channel));
    return channel;
}

std::vector<float> ramp(std::size_t frames) {
    std::vector<float> out(frames);
    return std::iota(out.begin(), out.end(), 0.0f), out;
}

float peak(const std::vector<float>& out, int side, std::size_t fromFrame = 0) {
    float level = 0.0f;
    for (std::size_t f = fromFrame; f < out.size() / 2; ++f) level = std::max(level, std::fabs(out[2 * f + side]));
    return level;
}

// Upward zero crossings per second of one side, after the converter's start.
double frequency(const std::vector<float>& out, int side) {
    const std::size_t first = 4800, frames = out.size() / 2;
    int crossings = 0;
    for (std::size_t f = first + 1; f < frames; ++f)
        crossings += out[2 * (f - 1) + side] < 0.0f && out[2 * f + side] >= 0.0f;
    return crossings * static_cast<double>(kRate) / static_cast<double>(frames - first);
}

// Paused: silence, slides and position stand still; a position set then is where conversion goes on.
TEST(Mixer, WritesSilenceWithoutChannelsAndStandsStillWhilePaused) {
    ChannelTable table(kRate);
    EXPECT_EQ(peak(mix(table, 1024), 0), 0.0f) << "an empty table must give silent frames";
    AudioChannel* channel = addChannel(table, ramp(48000));
    slideChannelVolume(table, 0, 1.0f, 1.0f);
    mix(table, 4800);
    const float volume = currentVolume(*channel);
    const std::uint64_t position = currentPosition(*channel);
    ASSERT_GT(volume, 0.0f);

    table.paused.store(true);
    const std::vector<float> paused = mix(table, 4800);
    EXPECT_EQ(peak(paused, 0) + peak(paused, 1), 0.0f);
    EXPECT_EQ(currentVolume(*channel), volume) << "a slide moved while paused";
    EXPECT_EQ(currentPosition(*channel), position) << "the position moved while paused";
    ASSERT_EQ(setChannelPosition(table, 0, 500), 0);
    mix(table, 1024);
    EXPECT_EQ(currentPosition(*channel), 500u);
    table.paused.store(false);
    mix(table, 64);
    EXPECT_EQ(channel->converterInput[0], 500.0f);
    mix(table, 4800);
    EXPECT_GT(currentVolume(*channel), volume) << "the slide did not go on after resuming";
    EXPECT_NE(currentPosition(*channel), 500u);
}

// Targets clamped to 0..1 (NaN to 0), slides of at least 0.01 s: halfway at half time, exactly on the
// target at the end and no further. A later slide runs even when it equals one that ended.
TEST(Mixer, SlidesReachTheirClampedTargetInTheirTime) {
    struct Case { const char* name; float start, target, seconds, reached, duration; };
    const Case cases[] = {
        {"0 to 1 in 1 s", 0.0f, 1.0f, 1.0f, 1.0f, 1.0f},
        {"target above 1", 0.0f, 1.5f, 0.01f, 1.0f, 0.01f},
        {"target below 0", 0.5f, -0.3f, 0.01f, 0.0f, 0.01f},
        {"NaN target", 0.5f, std::nanf(""), 0.01f, 0.0f, 0.01f},
        {"zero seconds", 0.0f, 1.0f, 0.0f, 1.0f, 0.01f},
        {"negative seconds", 1.0f, 0.0f, -2.0f, 0.0f, 0.01f},
        {"to the current value", 0.25f, 0.25f, 0.01f, 0.25f, 0.01f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChannelTable table(kRate);
        AudioChannel* channel = addChannel(table, {0.0f});
        channel->volume.store(c.start);
        channel->panning.store(c.start);
        ASSERT_EQ(slideChannelVolume(table, 0, c.target, c.seconds), 0);
        ASSERT_EQ(slideChannelPanning(table, 0, c.target, c.seconds), 0);
        const auto half = static_cast<std::uint32_t>(c.duration * kRate / 2);
        mix(table, half);
        EXPECT_NEAR(currentVolume(*channel), (c.start + c.reached) / 2, 1e-3f);
        EXPECT_NEAR(currentPanning(*channel), (c.start + c.reached) / 2, 1e-3f);
        if (half > 240) {
            mix(table, half - 240);
            EXPECT_NE(currentVolume(*channel), c.reached) << "ended long before its time";
        }
        mix(table, half > 240 ? 480 : 2 * half);
        EXPECT_EQ(currentVolume(*channel), c.reached);
        EXPECT_EQ(currentPanning(*channel), c.reached);
        mix(table, 4800);
        EXPECT_EQ(currentVolume(*channel), c.reached) << "went past the target after the slide ended";
    }
    // A slide with the bits of the last one ended (0.5 per second up to 0.5), published after another
    // slide moved the value, must run too.
    using Slider = int (*)(ChannelTable&, ChannelNumber, float, float);
    using Reader = float (*)(const AudioChannel&);
    for (const auto& [slide, current] : {std::pair<Slider, Reader>{slideChannelVolume, currentVolume},
                                         std::pair<Slider, Reader>{slideChannelPanning, currentPanning}}) {
        ChannelTable table(kRate);
        AudioChannel* channel = addChannel(table, {0.0f});
        // From 0 to 0.5, then halfway back down.
        const struct { float target, seconds; std::uint32_t frames; } steps[] = {
            {0.0f, 0.01f, 1024}, {0.5f, 1.0f, kRate + 512}, {0.0f, 1.0f, kRate / 2}};
        for (const auto& step : steps) slide(table, 0, step.target, step.seconds), mix(table, step.frames);
        slide(table, 0, 0.5f, 2.0f * (0.5f - current(*channel)));
        mix(table, kRate);
        EXPECT_EQ(current(*channel), 0.5f) << "a slide equal to the last one ended was ignored";
    }
}

// A constant signal passes the converter unchanged; a rate it refuses plays at the file's rate.
TEST(Mixer, PansLinearlyAndSumsWithoutClipping) {
    struct Case { const char* name; std::vector<float> pans; float left, right; std::uint32_t rate{kRate}; };
    const Case cases[] = {
        {"two channels fully left", {0.0f, 0.0f}, 2.0f, 0.0f},
        {"mono in the middle", {0.5f}, 0.5f, 0.5f},
        {"stereo pair", {0.0f, 1.0f}, 1.0f, 1.0f},
        {"three quarters right", {0.75f}, 0.25f, 0.75f},
        {"rate 0: no ratio", {0.5f}, 0.5f, 0.5f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChannelTable table(kRate);
        for (float panning : c.pans) {
            AudioChannel* channel = addChannel(table, std::vector<float>(4096, 1.0f), c.rate);
            setInitialPanning(channel, panning);
            channel->volume.store(1.0f);
        }
        const std::vector<float> out = mix(table, 8192);
        for (std::size_t f = 4096; f < 8192; f += 509) {
            EXPECT_NEAR(out[2 * f], c.left, 2e-3f) << "frame " << f;
            EXPECT_NEAR(out[2 * f + 1], c.right, 2e-3f) << "frame " << f;
        }
    }
}

TEST(Mixer, SpeedAndSourceRateSetThePitch) {
    struct Case { std::uint32_t sourceRate; float speed; double hz; };
    const Case cases[] = {{kRate, 1.0f, 1000}, {kRate, 2.0f, 2000}, {kRate, 0.5f, 500},
                          {44100, 1.0f, 1000}, {22050, 1.5f, 1500}, {kRate, 20.0f, 8000}};
    for (const Case& c : cases) {
        ChannelTable table(kRate);
        AudioChannel* channel = addChannel(table, sine(1000, c.sourceRate, c.sourceRate * 4), c.sourceRate);
        channel->volume.store(1.0f);
        setChannelSpeed(table, 0, c.speed);
        EXPECT_NEAR(frequency(mix(table, kRate), 0), c.hz, 0.01 * c.hz + 3)
            << "source " << c.sourceRate << " Hz at speed " << c.speed;
    }
}

// A voice at volume 0 skips conversion, one at 1e-30 is converted: through loops at any speed their
// positions keep together, and a slide up from silence sounds the same after the converter's start.
TEST(Mixer, SilentVoicesKeepTheirPlaceWithoutConverting) {
    struct Case { const char* name; std::uint32_t sourceRate; float speed; std::size_t frames, loopStart; };
    const Case cases[] = {
        {"44.1 kHz", 44100, 1.0f, 3 * 44100, 0},         {"fast, short loop", 22050, 1.7f, 5000, 1234},
        {"slow, loop", 44100, 0.3f, 20000, 15000},       {"rate refused: file's own", 0, 2.0f, 30000, 100},
        {"fast past many loops", 96000, 8.0f, 9000, 4000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChannelTable silentTable(kRate), heardTable(kRate);
        const std::vector<float> sound = sine(997, c.sourceRate ? c.sourceRate : 8000, c.frames, 0.5f);
        AudioChannel* silent = addChannel(silentTable, sound, c.sourceRate);
        AudioChannel* heard = addChannel(heardTable, sound, c.sourceRate);
        auto both = [&](auto step) { step(silentTable), step(heardTable); };
        both([&](ChannelTable& t) { setChannelSpeed(t, 0, c.speed), setChannelLoopPoint(t, 0, c.loopStart); });
        both([&](ChannelTable& t) { slideChannelVolume(t, 0, 1.0f, 0.01f), mix(t, 9600); });
        slideChannelVolume(silentTable, 0, 0.0f, 0.01f);
        slideChannelVolume(heardTable, 0, 1e-30f, 0.01f);
        both([&](ChannelTable& t) { mix(t, 60000); });
        const std::uint64_t loop = c.frames - c.loopStart;
        const std::uint64_t apart = (currentPosition(*silent) + loop - currentPosition(*heard)) % loop;
        // A converter holds up to a block and a half of input beyond what is heard.
        EXPECT_LE(std::min(apart, loop - apart), 1.5 * 512 * c.speed * (c.sourceRate ? c.sourceRate : kRate) / kRate);
        both([&](ChannelTable& t) { slideChannelVolume(t, 0, 1.0f, 0.05f); });
        const std::vector<float> a = mix(silentTable, 4800), b = mix(heardTable, 4800);
        float worst = 0.0f;
        for (std::size_t i = 2 * 96; i < a.size(); ++i) worst = std::max(worst, std::fabs(a[i] - b[i]));
        EXPECT_LT(worst, 1e-4f) << "differs after the first 2 ms";
        EXPECT_GT(peak(a, 0, 2400), 0.1f);
    }
}

TEST(Mixer, LoopsFromTheLoopPointAndFillsTheConverterInOrder) {
    ChannelTable table(kRate);
    AudioChannel* channel = addChannel(table, ramp(100));
    ASSERT_EQ(setChannelLoopPoint(table, 0, 60), 0);
    // Ratio 1: 100 output frames take 150 input frames.
    audio_thread::refillChannel(*channel, kRate, 100);
    std::vector<float> expected = ramp(100);
    for (float v = 60; v < 100; ++v) expected.push_back(v);
    for (float v = 60; v < 70; ++v) expected.push_back(v);
    EXPECT_EQ(std::vector<float>(channel->converterInput.get(), channel->converterInput.get() + 150), expected);
    for (int refill = 0; refill < 50; ++refill) {
        audio_thread::refillChannel(*channel, kRate, 300);
        EXPECT_GE(currentPosition(*channel), 60u) << "went back before the loop point";
        EXPECT_LT(currentPosition(*channel), 100u);
    }
}

TEST(Mixer, FramesNotDecodedYetAndEmptyChannelsAreSilent) {
    ChannelTable table(kRate);
    AudioChannel* partial = addChannel(table, std::vector<float>(48000, 1.0f));
    partial->framesAvailable.store(0);
    partial->volume.store(1.0f);
    AudioChannel* empty = addChannel(table, {});
    slideChannelVolume(table, 1, 1.0f, 0.01f);
    EXPECT_EQ(peak(mix(table, 4800), 0), 0.0f);
    EXPECT_EQ(currentVolume(*empty), 1.0f) << "slides must run on an empty channel too";
    EXPECT_EQ(currentPosition(*empty), 0u);
    partial->framesAvailable.store(48000, std::memory_order_release);
    EXPECT_NEAR(peak(mix(table, 4800), 0, 2400), 0.5f, 2e-3f) << "decoded frames must play";
}

TEST(Mixer, SettersRefuseMissingChannelsAndIgnoreFramesPastTheEnd) {
    ChannelTable table(kRate);
    AudioChannel* channel = addChannel(table, std::vector<float>(100, 0.0f));
    const std::pair<int (*)(ChannelTable&), const char*> refusals[] = {
        {[](ChannelTable& t) { return slideChannelVolume(t, 1, 1, 1); }, "slide channel 1"},
        {[](ChannelTable& t) { return slideChannelPanning(t, 7, 1, 1); }, "slide channel 7"},
        {[](ChannelTable& t) { return setChannelSpeed(t, 1, 1); }, "set speed of channel 1"},
        {[](ChannelTable& t) { return setChannelPosition(t, 1, 0); }, "set position of channel 1"},
        {[](ChannelTable& t) { return setChannelLoopPoint(t, 1, 0); }, "set loop point of channel 1"},
    };
    for (const auto& [call, what] : refusals) {
        SCOPED_TRACE(what);
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(call(table), -1);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(),
                  std::string("error: attempt to ") + what + ", only 1 channels exist\n");
    }
    EXPECT_EQ(setChannelLoopPoint(table, 0, 100), 0);
    EXPECT_EQ(channel->loopStart.load(), 0u) << "a loop point at the length must be ignored";
    EXPECT_EQ(setChannelPosition(table, 0, 100), 0);
    EXPECT_EQ(currentPosition(*channel), 0u) << "a position at the length must be ignored";
    EXPECT_EQ(setChannelLoopPoint(table, 0, 99), 0);
    EXPECT_EQ(channel->loopStart.load(), 99u);
    const std::pair<float, float> speeds[] = {{0.01f, 0.125f}, {20.0f, 8.0f}, {2.5f, 2.5f},
                                              {std::nanf(""), 0.125f}};
    for (const auto& [given, stored] : speeds) {
        EXPECT_EQ(setChannelSpeed(table, 0, given), 0);
        EXPECT_EQ(channel->speed.load(), stored) << "speed " << given;
    }
}

}  // namespace
}  // namespace feltrix
