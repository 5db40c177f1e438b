// The render's mixer on several threads gives the one-thread mixer's frames, bit for bit.
#include <gtest/gtest.h>

#include <cstring>

#include "audio/channel_controls.h"
#include "audio/mixer.h"
#include "tests/audio/audio_test_files.h"
#include "tools/render/parallel_mixer.h"

namespace feltrix {
namespace {

// Voices that copy, convert, slide, stay silent or have no frames; a speed change and a pause midway.
void fill(ChannelTable& table) {
    const std::uint32_t rates[] = {44100, 48000, 22050, 96000, 48000, 44100, 32000};
    for (std::uint32_t rate : rates) table.append(testing::makeChannel(testing::sine(rate / 97.0, rate, 30000), rate));
    table.append(testing::makeChannel({}, 48000));
    for (ChannelNumber i = 0; i + 1 < table.count(); ++i) {
        if (i != 4) slideChannelVolume(table, i, 1.0f / static_cast<float>(i + 1), 0.02f * static_cast<float>(i));
        slideChannelPanning(table, i, i % 2 ? 0.9f : 0.1f, 0.3f);
        setChannelLoopPoint(table, i, 1000 * i);
    }
}

TEST(ParallelMixer, MixesTheOneThreadMixersFramesOnAnyNumberOfThreads) {
    for (unsigned threads : {2u, 3u, 8u}) {
        SCOPED_TRACE(threads);
        ChannelTable parallel(48000), single(48000);
        fill(parallel), fill(single);
        render::ParallelMixer mixer(threads);
        std::vector<float> a(2 * 4096), b(2 * 4096);
        for (int block = 0; block < 40; ++block) {
            const std::uint32_t frames = block % 3 ? 4096 : 441;
            if (block == 10) setChannelSpeed(parallel, 1, 1.5f), setChannelSpeed(single, 1, 1.5f);
            parallel.paused.store(block == 20), single.paused.store(block == 20);
            mixer.mix(parallel, a.data(), frames);
            audio_thread::mixChannels(single, b.data(), frames);
            ASSERT_EQ(std::memcmp(a.data(), b.data(), 2 * frames * sizeof(float)), 0) << "block " << block;
        }
    }
}

}  // namespace
}  // namespace feltrix
