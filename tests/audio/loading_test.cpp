// Loading sound files into the channel table: what a load appends, what a
// failed load leaves behind, and Ogg files decoded in the background.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "audio/audio_engine.h"
#include "audio/load_error.h"
#include "audio/ogg_decoder_thread.h"
#include "tests/audio/audio_test_files.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;
using namespace std::chrono_literals;

// Every test starts from an empty table and leaves no decoding behind (a slot kept fails the test).
class Loading : public ::testing::Test {
protected:
    void SetUp() override { clearChannels(); }
    void TearDown() override {
        failOggThreadStartsForTesting(false);
        clearChannels();
        EXPECT_TRUE(waitFor([] { return oggDecodeSlots().available() == kOggDecodeSlots; }, 60s));
    }
    static bool allLoaded(ChannelNumber count) {
        return waitFor([count] {
            for (ChannelNumber n = 0; n < count; ++n)
                if (channelAt(n)->loadState.load() != LoadState::Loaded) return false;
            return true;
        }, 120s);
    }
    // Eight seconds of noise, about six Ogg pages a second: page `page` (0 and 1 hold the headers) is
    // broken before or after the part the load decodes itself.
    std::string corruptNoiseOgg(const std::string& name, int page) {
        const std::string wav = dir.file("noise.wav"), ogg = dir.file("noise.ogg");
        EXPECT_TRUE(runCommand("sox -R -n -r 44100 -c 2 -b 16 '" + wav + "' synth 8 whitenoise vol 0.5"));
        EXPECT_TRUE(runCommand("oggenc -Q -q 6 -o '" + ogg + "' '" + wav + "'"));
        std::string bytes = readFile(ogg);
        std::size_t at = 0;
        for (int i = 1; i <= page && at != std::string::npos; ++i) at = bytes.find("OggS", at + 1);
        EXPECT_NE(at, std::string::npos) << "the file has no page " << page;
        for (std::size_t i = at + 40; i < at + 400 && i < bytes.size(); ++i) bytes[i] ^= 0x5A;
        return dir.write(name, bytes);
    }
    TempDir dir;
};

TEST_F(Loading, EachFormatAppendsItsVoicesWithTheirLayout) {
    struct Case { const char* name; std::string path; int (*load)(const char*); std::vector<float> panning;
                  std::uint32_t rate; std::uint64_t frames; };  // frames 0: only checked to be positive
    const Case cases[] = {
        {"stereo WAV", makeWav(dir.path(), "w2", 2, 22050, 0.5), loadWavChannels, {0.0f, 1.0f}, 22050, 11025},
        {"mono WAV", makeWav(dir.path(), "w1", 1, 8000, 0.25), loadWavChannels, {0.5f}, 8000, 2000},
        {"6-channel WAV", makeWav(dir.path(), "w6", 6, 8000, 0.1), loadWavChannels, std::vector<float>(6, 0.5f),
         8000, 800},
        {"WAV without channels",
         dir.write("0.wav", riffWave(chunk("fmt ", fmtBody(1, 0, 8000, 0, 16)) + chunk("data", ""))),
         loadWavChannels, {}, 0, 0},
        {"mono MP3", makeMp3(dir.path(), "m1", 1, 44100, 0.5), loadMp3Channels, {0.0f, 1.0f}, 44100, 0},
        {"stereo MP3", makeMp3(dir.path(), "m2", 2, 32000, 2.5), loadMp3Channels, {0.0f, 1.0f}, 32000, 0},
        {"short stereo Ogg", makeOgg(dir.path(), "o2", 2, 44100, 0.5), loadOggChannels, {0.0f, 1.0f}, 44100, 22050},
        {"6-channel Ogg", makeOgg(dir.path(), "o6", 6, 48000, 0.2), loadOggChannels,
         {0.0f, 0.5f, 1.0f, 0.0f, 1.0f, 0.5f}, 48000, 9600},
    };
    ChannelNumber before = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int n = c.load(c.path.c_str());
        ASSERT_EQ(n, static_cast<int>(c.panning.size())) << loadErrorText();
        ASSERT_EQ(channelCount(), before + static_cast<ChannelNumber>(n));
        for (int i = 0; i < n; ++i) {
            AudioChannel* voice = channelAt(before + static_cast<ChannelNumber>(i));
            EXPECT_EQ(voice->panning.load(), c.panning[static_cast<std::size_t>(i)]);
            EXPECT_EQ(voice->volume.load(), 0.0f);
            EXPECT_EQ(voice->sourceRate, c.rate);
            EXPECT_EQ(voice->loadState.load(), LoadState::Loaded);  // short files: all decoded
            EXPECT_EQ(voice->framesAvailable.load(), voice->sampleCount);
            EXPECT_EQ(voice->position.load(), 0u);
            EXPECT_EQ(voice->sampleCount, c.frames ? c.frames : voice->sampleCount);
            EXPECT_GT(voice->sampleCount, 0u);
        }
        before = channelCount();
    }
    EXPECT_EQ(oggDecodeSlots().available(), kOggDecodeSlots) << "a short Ogg file started a thread";
}

TEST_F(Loading, AFailedLoadGivesItsTextAndLeavesTheTableAsItWas) {
    ASSERT_EQ(loadWavChannels(makeWav(dir.path(), "ok", 2, 8000, 0.1).c_str()), 2);
    EXPECT_STREQ(loadErrorText(), "No error") << "before the first failure";
    const std::string ogg = readFile(makeOgg(dir.path(), "good", 2, 44100, 3.0));
    const std::string fifo = dir.file("pipe");  // an ordinary open would wait for a writer for ever
    ASSERT_TRUE(runCommand("mkfifo '" + fifo + "'"));
    const char* notVorbis = "ov_test_callbacks failed: Ogg file does not contain Vorbis audio";
    struct Case { const char* name; int (*load)(const char*); std::string path; const char* error; };
    const Case cases[] = {
        {"FIFO as WAV", loadWavChannels, fifo, "Could not open file"},
        {"FIFO as MP3", loadMp3Channels, fifo, "Could not open file"},
        {"FIFO as Ogg", loadOggChannels, fifo, "Error opening file."},
        {"Ogg of 33 channels", loadOggChannels, makeOgg(dir.path(), "c33", 33, 8000, 0.1),
         "Ogg file has too many channels"},
        {"MP3 of zeros", loadMp3Channels, dir.write("z.mp3", std::string(3000, '\0')), "Invalid MP3 file"},
        {"empty Ogg", loadOggChannels, dir.write("e.ogg", ""), notVorbis},
        {"Ogg cut in its headers", loadOggChannels, dir.write("c.ogg", ogg.substr(0, 200)), notVorbis},
        {"Ogg decoding error before the load returns", loadOggChannels, corruptNoiseOgg("early.ogg", 4),
         "File corrupt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.load(c.path.c_str()), -1);
        EXPECT_STREQ(loadErrorText(), c.error);
        EXPECT_EQ(channelCount(), 2u);
    }
}

TEST_F(Loading, LongOggFilesFinishDecodingInTheBackground) {
    const std::string path = makeOgg(dir.path(), "long", 2, 44100, 8.0);
    ASSERT_EQ(loadOggChannels(path.c_str()), 2);
    for (ChannelNumber n = 0; n < 2; ++n) {
        EXPECT_EQ(channelAt(n)->sampleCount, 8u * 44100u);
        EXPECT_GE(channelAt(n)->framesAvailable.load(), kOggFramesBeforeReturn);
    }
    ASSERT_TRUE(allLoaded(2));
    // What oggdec decodes, to within its 16-bit rounding (half a step plus a float rounding).
    const Interleaved reference = referenceDecode(path, dir.path());
    ASSERT_EQ(reference.frames(), 8u * 44100u);
    for (ChannelNumber c = 0; c < 2; ++c) EXPECT_EQ(channelAt(c)->framesAvailable.load(), reference.frames());
    float worst = 0.0f;
    for (std::size_t f = 0; f < reference.frames(); ++f)
        for (ChannelNumber c = 0; c < 2; ++c)
            worst = std::max(worst, std::fabs(channelAt(c)->samples[f] - reference.at(f, int(c))));
    EXPECT_LE(worst, 0.5f / 32768.0f + 1e-7f);
}

TEST_F(Loading, ADecodingErrorInTheBackgroundKeepsWhatWasDecoded) {
    ASSERT_EQ(loadOggChannels(corruptNoiseOgg("late.ogg", 30).c_str()), 2) << loadErrorText();
    ASSERT_TRUE(allLoaded(2));
    EXPECT_GE(channelAt(0)->framesAvailable.load(), kOggFramesBeforeReturn);
    EXPECT_LT(channelAt(0)->framesAvailable.load(), channelAt(0)->sampleCount);
}

TEST_F(Loading, WithoutAThreadTheLoadDecodesEverythingItself) {
    failOggThreadStartsForTesting(true);
    ASSERT_EQ(loadOggChannels(makeOgg(dir.path(), "long", 1, 44100, 4.0).c_str()), 1);
    EXPECT_EQ(channelAt(0)->loadState.load(), LoadState::Loaded);
    EXPECT_EQ(channelAt(0)->framesAvailable.load(), 4u * 44100u);
}

TEST_F(Loading, AnEighteenthOggLoadWaitsForAFreeSlot) {
    const std::string path = makeOgg(dir.path(), "short", 1, 44100, 0.5);
    for (int i = 0; i < kOggDecodeSlots; ++i) oggDecodeSlots().acquire();  // 17 files "decoding"
    std::atomic<int> result{-2};  // the table is this thread's alone until it is joined
    std::thread loader([&] { result = loadOggChannels(path.c_str()); });
    EXPECT_FALSE(waitFor([&] { return result.load() != -2; }, 300ms));
    oggDecodeSlots().release();  // one of them ends
    EXPECT_TRUE(waitFor([&] { return result.load() != -2; }));
    loader.join();
    EXPECT_EQ(result.load(), 1);
    for (int i = 1; i < kOggDecodeSlots; ++i) oggDecodeSlots().release();
}

}  // namespace
}  // namespace feltrix
