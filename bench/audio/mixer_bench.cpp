// How many 44.1 kHz mono voices the mixer keeps up with on one core at 48 kHz
// output, beside the same voices through bare libsamplerate converters (the
// bound: the mixer's own work should cost little on top of the conversion).
// Then what silent voices cost: a table of many loaded voices of which only a
// few are audible, beside those few alone.
//
//   build/bin/audio_mixer_bench [voices] [seconds of output per run] [runs] [loaded voices]
#include <samplerate.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "audio/channel_controls.h"
#include "audio/channel_table.h"
#include "audio/mixer.h"

namespace {

using feltrix::AudioChannel;
using feltrix::ChannelTable;

constexpr int kOutputRate = 48000;
constexpr std::uint32_t kSourceRate = 44100;
constexpr std::uint32_t kBlock = 512;  // frames per callback
constexpr std::size_t kSoundFrames = 2 * kSourceRate;
constexpr int kAudible = 20;  // audible voices among many loaded ones

std::vector<float> voiceSound(int voice) {
    std::vector<float> sound(kSoundFrames);
    const double hz = 110.0 + 37.0 * voice;
    for (std::size_t i = 0; i < sound.size(); ++i) {
        sound[i] = 0.5f * static_cast<float>(std::sin(2.0 * M_PI * hz * static_cast<double>(i) / kSourceRate));
    }
    return sound;
}

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Seconds the mixer takes for `outputFrames` frames of `voices` voices, of
// which the first `audible` play (the others stay at volume 0).
double timeMixer(int voices, std::uint32_t outputFrames, int audible) {
    ChannelTable table(kOutputRate);
    for (int v = 0; v < voices; ++v) {
        AudioChannel* channel = feltrix::newAudioChannel();
        const std::vector<float> sound = voiceSound(v);
        if (channel == nullptr || !feltrix::allocateChannelSamples(channel, sound.size())) std::abort();
        std::copy(sound.begin(), sound.end(), channel->samples.get());
        channel->framesAvailable.store(sound.size());
        channel->sourceRate = kSourceRate;
        channel->loadState.store(feltrix::LoadState::Loaded);
        table.append(channel);
        if (v >= audible) continue;
        // Slides run all the time, as in a session.
        feltrix::slideChannelVolume(table, static_cast<feltrix::ChannelNumber>(v), 1.0f, 20.0f);
        feltrix::slideChannelPanning(table, static_cast<feltrix::ChannelNumber>(v), v % 2 ? 1.0f : 0.0f, 20.0f);
    }
    std::vector<float> out(2 * kBlock);
    feltrix::audio_thread::mixChannels(table, out.data(), kBlock);  // warm up
    const auto start = std::chrono::steady_clock::now();
    for (std::uint32_t done = 0; done < outputFrames; done += kBlock) {
        feltrix::audio_thread::mixChannels(table, out.data(), kBlock);
    }
    return seconds(std::chrono::steady_clock::now() - start);
}

// Seconds bare converters take for the same work: each voice converted block
// by block straight from its samples, nothing mixed.
double timeBare(int voices, std::uint32_t outputFrames) {
    struct Voice {
        std::vector<float> sound;
        SRC_STATE* converter;
        std::size_t position = 0;
        std::vector<float> output = std::vector<float>(kBlock);
    };
    std::vector<Voice> all(voices);
    for (int v = 0; v < voices; ++v) {
        int error = 0;
        all[v].sound = voiceSound(v);
        all[v].converter = src_new(SRC_SINC_MEDIUM_QUALITY, 1, &error);
    }
    const double ratio = static_cast<double>(kOutputRate) / kSourceRate;
    auto run = [&](std::uint32_t frames) {
        for (std::uint32_t done = 0; done < frames; done += kBlock) {
            for (Voice& voice : all) {
                if (voice.position + 2 * kBlock > voice.sound.size()) voice.position = 0;
                SRC_DATA data{};
                data.data_in = voice.sound.data() + voice.position;
                data.input_frames = static_cast<long>(kBlock / ratio * 1.5);
                data.data_out = voice.output.data();
                data.output_frames = kBlock;
                data.src_ratio = ratio;
                src_process(voice.converter, &data);
                voice.position += static_cast<std::size_t>(data.input_frames_used);
            }
        }
    };
    run(kBlock);  // warm up
    const auto start = std::chrono::steady_clock::now();
    run(outputFrames);
    const double elapsed = seconds(std::chrono::steady_clock::now() - start);
    for (Voice& voice : all) src_delete(voice.converter);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    const int voices = argc > 1 ? std::atoi(argv[1]) : 32;
    const double audioSeconds = argc > 2 ? std::atof(argv[2]) : 0.5;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 11;
    const int loaded = argc > 4 ? std::atoi(argv[4]) : 1000;
    if (voices <= 0 || audioSeconds <= 0 || runs <= 0 || loaded < kAudible) {
        std::fprintf(stderr, "usage: %s [voices] [seconds of output per run] [runs] [loaded voices, at least %d]\n",
                     argv[0], kAudible);
        return 2;
    }
    const std::uint32_t frames = static_cast<std::uint32_t>(audioSeconds * kOutputRate);
    std::printf("Mixer: %d mono voices at %u Hz, %d Hz output, %u-frame blocks, %.2f s of output per run, best of %d\n",
                voices, kSourceRate, kOutputRate, kBlock, audioSeconds, runs);
    // Alternate the two and keep the best run of each: the machine is shared.
    double bestMixer = 1e30, bestBare = 1e30;
    for (int run = 0; run < runs; ++run) {
        bestMixer = std::min(bestMixer, timeMixer(voices, frames, voices));
        bestBare = std::min(bestBare, timeBare(voices, frames));
    }
    const double voiceFrames = static_cast<double>(voices) * frames;
    const double mixerNs = bestMixer * 1e9 / voiceFrames, bareNs = bestBare * 1e9 / voiceFrames;
    const double mixerVoices = 1e9 / (mixerNs * kOutputRate), bareVoices = 1e9 / (bareNs * kOutputRate);
    std::printf("%-22s %12s %22s\n", "", "ns per frame", "voices in real time");
    std::printf("%-22s %12.1f %22.1f\n", "mixer", mixerNs, mixerVoices);
    std::printf("%-22s %12.1f %22.1f\n", "bare libsamplerate", bareNs, bareVoices);
    std::printf("mixer / bare: %.1f %% (goal: at least 85 %%)\n", 100.0 * mixerVoices / bareVoices);

    // Silent voices should cost next to nothing.
    double bestFew = 1e30, bestLoaded = 1e30;
    for (int run = 0; run < runs; ++run) {
        bestFew = std::min(bestFew, timeMixer(kAudible, frames, kAudible));
        bestLoaded = std::min(bestLoaded, timeMixer(loaded, frames, kAudible));
    }
    const double realTime = audioSeconds;
    std::printf("\n%-34s %14s\n", "", "% of real time");
    std::printf("%d audible voices alone %12s %14.1f\n", kAudible, "", 100.0 * bestFew / realTime);
    std::printf("%d loaded, %d of them audible %6s %14.1f\n", loaded, kAudible, "", 100.0 * bestLoaded / realTime);
    std::printf("loaded / alone: %.2fx (goal: at most 1.3x)\n", bestLoaded / bestFew);
    return 0;
}
