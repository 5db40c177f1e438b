// The mixer on a thread of its own, as the output stream runs it, while the main thread loads, clears
// and slides. Run under ThreadSanitizer (label "threaded").
#include <gtest/gtest.h>

#include <thread>

#include "audio/audio_engine.h"
#include "audio/channel_controls.h"
#include "audio/mixer.h"
#include "audio/ogg_decoder_thread.h"
#include "audio/output_supervisor.h"
#include "audio/sound_loading.h"
#include "tests/audio/audio_test_files.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;
using namespace std::chrono_literals;

// Mixes blocks of `table` on a thread until destroyed.
class MixerThread {
public:
    explicit MixerThread(ChannelTable& table, std::uint32_t block = 256)
        : thread_([this, &table, block] {
              std::vector<float> out(2 * block);
              while (!stop_.load()) {
                  audio_thread::mixChannels(table, out.data(), block);
                  blocks_.fetch_add(1);
              }
          }) {}
    ~MixerThread() { stop_.store(true), thread_.join(); }
    // Waits until `count` more blocks have been mixed.
    bool waitBlocks(long count) {
        const long target = blocks_.load() + count;
        return waitFor([&] { return blocks_.load() >= target; });
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<long> blocks_{0};
    std::thread thread_;
};

TEST(EngineThreaded, ClearingDuringAnOggBackgroundDecode) {
    TempDir dir;
    const std::string ogg = dir.file("long.ogg");
    ASSERT_TRUE(runCommand("sox -n -r 44100 -c 2 '" + ogg + "' synth 40 sine 440 sine 660"));

    clearChannels();
    MixerThread mixer(engineChannelTable(), 128);
    int clearedWhileLoading = 0;
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(loadOggChannels(ogg.c_str()), 2) << loadErrorText();
        slideChannelVolume(engineChannelTable(), 0, 1.0f, 0.01f);
        if (channelAt(0)->loadState.load() == LoadState::Loading) ++clearedWhileLoading;
        ASSERT_TRUE(mixer.waitBlocks(3));
        clearChannels();
        // The decoder thread frees the orphaned voices and gives its slot back.
        EXPECT_TRUE(waitFor([] { return oggDecodeSlots().available() == kOggDecodeSlots; }))
            << "the decoder never ended after clearing";
    }
    EXPECT_GT(clearedWhileLoading, 0) << "the decoding always ended before the clear; the test proves nothing";
}

// The decoder side of the lock protocol against the table side, both orders:
// clearing first (the decoder frees), decoding first (clear frees).
TEST(EngineThreaded, DecoderAndClearAgreeWhoFreesAChannel) {
    for (bool clearFirst : {true, false}) {
        ChannelTable table(48000);
        AudioChannel* channel = makeChannel(std::vector<float>(1 << 20, 0.25f), 48000);
        channel->framesAvailable.store(0);
        channel->loadState.store(LoadState::Loading);
        ASSERT_TRUE(table.append(channel));
        MixerThread mixer(table, 64);
        std::atomic<bool> decoderSawOrphan{false}, decoded{false};
        std::thread decoder([&] {
            std::vector<float> frames(4096, 0.25f);
            for (std::uint64_t done = 0; done < channel->sampleCount; done += frames.size()) {
                if (!appendDecodedFrames(channel, frames.data(), frames.size())) {
                    decoderSawOrphan.store(true);
                    return;
                }
                if (clearFirst) std::this_thread::yield();
            }
            if (!finishDecoding(channel)) decoderSawOrphan.store(true);
            decoded.store(true);
        });
        if (!clearFirst) { ASSERT_TRUE(waitFor([&] { return decoded.load(); })); }
        ASSERT_TRUE(mixer.waitBlocks(2));
        for (AudioChannel* detached : table.detachAll()) releaseFromTable(detached);
        decoder.join();
        EXPECT_TRUE(clearFirst || !decoderSawOrphan.load());
    }
}

TEST(EngineThreaded, SlidesRacingTheEndOfASlide) {
    ChannelTable table(48000);
    AudioChannel* channel = makeChannel(std::vector<float>(4800, 0.5f), 48000);
    ASSERT_TRUE(table.append(channel));
    MixerThread mixer(table, 32);
    // Short slides end within a block or two, while new ones keep coming.
    for (int i = 0; i < 3000; ++i) {
        slideChannelVolume(table, 0, (i % 3) * 0.5f, 0.0f);
        slideChannelPanning(table, 0, (i % 2) * 1.0f, 0.0f);
        const float volume = currentVolume(*channel);
        ASSERT_TRUE(volume >= 0.0f && volume <= 1.0f) << volume;
        if (i % 500 == 0) { ASSERT_TRUE(mixer.waitBlocks(1)); }
    }
    // The last slide published wins, whatever the mixer was doing then.
    slideChannelVolume(table, 0, 0.3f, 0.01f);
    slideChannelPanning(table, 0, 0.7f, 0.01f);
    EXPECT_TRUE(waitFor([&] { return currentVolume(*channel) == 0.3f && currentPanning(*channel) == 0.7f; }))
        << "volume " << currentVolume(*channel) << ", panning " << currentPanning(*channel);
}

// A device the test switches on and off: it plays (its block count moves at each look) while present;
// one that appeared after the last scan of the device list is found only by a fresh scan.
struct FakeDevice final : OutputDevice {
    std::atomic<bool> present{false}, listed{false}, streaming{false};
    mutable std::atomic<std::uint64_t> blocks{0};
    DeviceResult open(ChannelTable&, bool rescan) override {
        if (rescan) listed = present.load();
        if (!listed || !present) return {-1, "no device\n"};
        return {};
    }
    DeviceResult start() override { return streaming = true, DeviceResult{}; }
    void close() override { streaming = false; }
    std::uint64_t blocksMixed() const override { return streaming && present ? ++blocks : blocks.load(); }
    std::string failure() override { return {}; }
    std::string deviceName() const override { return "fake"; }
};

TEST(EngineThreaded, OutputIsFoundLostAndFoundAgainInTheBackground) {
    ChannelTable table(48000);
    auto owned = std::make_unique<FakeDevice>();
    FakeDevice& device = *owned;
    const SupervisorTiming timing{5ms, 100ms, 20ms};  // poll, silence, retry
    ::testing::internal::CaptureStdout();
    auto output = std::make_unique<OutputSupervisor>(std::move(owned), table, timing);
    EXPECT_EQ(output->open(std::chrono::seconds(5)).code, -1) << "no device at start";
    output->start();
    EXPECT_FALSE(output->playing());
    device.present = true;  // appears after the start-up scan
    EXPECT_TRUE(waitFor([&] { return output->playing(); })) << "a new device was not found";
    device.present = false;  // its server ends: no more blocks
    EXPECT_TRUE(waitFor([&] { return !output->playing(); })) << "the lost stream was not noticed";
    EXPECT_FALSE(device.streaming) << "the lost stream was not closed";
    device.present = true;
    EXPECT_TRUE(waitFor([&] { return output->playing(); })) << "the device was not opened again";
    output.reset();
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(said, "no device\nSound output resumed on the default output device (fake).\n"
                    "Sound output lost: the device has taken no sound for 100 ms. Opening the default output device "
                    "again in the background.\nSound output resumed on the default output device (fake).\n");
}

}  // namespace
}  // namespace feltrix
