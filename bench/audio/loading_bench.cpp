// Time to load a long stereo file of each format, beside the system's own
// decoders decoding the same file in the same run.
//
//   build/bin/audio_loading_bench [SECONDS] [REPEATS]
//
// Makes SECONDS (default 300) of stereo 44.1 kHz sound with sox, encodes it
// with lame and oggenc, then for each format loads it REPEATS (default 3)
// times into the channel table and times sox / lame --decode / oggdec
// decoding it to /dev/null. For Ogg it reports both the time until the load
// returns and the time until the background decoding has finished. For each
// load it also reports the most heap memory held at once during the load,
// beside the size of the decoded samples.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio_channel.h"
#include "audio/audio_engine.h"
#include "audio/ogg_decoder_thread.h"
#include "bench/audio/heap_counter.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

struct Timing {
    std::vector<double> runs;
    void add(double s) { runs.push_back(s); }
    double best() const { return runs.empty() ? 0.0 : *std::min_element(runs.begin(), runs.end()); }
    double median() const {
        if (runs.empty()) return 0.0;
        std::vector<double> sorted = runs;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

void report(const char* what, const Timing& t, double audioSeconds) {
    std::printf("%-44s median %8.3f s  best %8.3f s  (%6.0fx real time)\n", what, t.median(), t.best(),
                t.best() > 0 ? audioSeconds / t.best() : 0.0);
}

Timing timeCommand(const std::string& command, int repeats) {
    Timing t;
    for (int i = 0; i < repeats; ++i) {
        Clock::time_point start = Clock::now();
        if (!run(command)) {
            std::printf("failed: %s\n", command.c_str());
            return {};
        }
        t.add(secondsSince(start));
    }
    return t;
}

bool allLoaded() {
    for (feltrix::ChannelNumber n = 0; n < feltrix::channelCount(); ++n) {
        if (feltrix::channelAt(n)->loadState.load() != feltrix::LoadState::Loaded) return false;
    }
    return true;
}

double decodedBytes() {
    double bytes = 0;
    for (feltrix::ChannelNumber n = 0; n < feltrix::channelCount(); ++n) {
        bytes += static_cast<double>(feltrix::channelAt(n)->sampleCount) * sizeof(float);
    }
    return bytes;
}

// Times a load; for Ogg also the wait until every voice is decoded.
void timeLoad(const char* name, int (*load)(const char*), const std::string& path, int repeats,
              double audioSeconds) {
    Timing returned, complete;
    double peakRatio = 0, decoded = 0;
    for (int i = 0; i < repeats; ++i) {
        feltrix::clearChannels();
        feltrix_bench::resetHeapPeak();
        const std::size_t heldBefore = feltrix_bench::heapBytesInUse();
        Clock::time_point start = Clock::now();
        if (load(path.c_str()) < 0) {
            std::printf("%s: load failed: %s\n", name, feltrix::loadErrorText());
            return;
        }
        returned.add(secondsSince(start));
        while (!allLoaded()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        complete.add(secondsSince(start));
        decoded = decodedBytes();
        peakRatio = std::max(peakRatio, (feltrix_bench::heapPeakBytes() - heldBefore) / decoded);
    }
    feltrix::clearChannels();
    std::string label = std::string("feltrix ") + name;
    if (load == feltrix::loadOggChannels) {
        report((label + " (until the load returns)").c_str(), returned, audioSeconds);
        report((label + " (until fully decoded)").c_str(), complete, audioSeconds);
    } else {
        report(label.c_str(), complete, audioSeconds);
    }
    std::printf("%-44s %.1f MB = %.2fx the decoded %.1f MB\n", "  most heap held during a load", peakRatio * decoded / 1e6,
                peakRatio, decoded / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 300.0;
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    char folderTemplate[] = "/tmp/feltrix-loading-bench-XXXXXX";
    if (!mkdtemp(folderTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = folderTemplate;
    const std::string wav = dir + "/sound.wav", mp3 = dir + "/sound.mp3", ogg = dir + "/sound.ogg";
    std::printf("making %.0f s of stereo 44.1 kHz sound in %s ...\n", seconds, dir.c_str());
    const std::string length = std::to_string(seconds);
    if (!run("sox -R -n -r 44100 -c 2 -b 16 '" + wav + "' synth " + length +
             " pinknoise synth " + length + " sine mix 220-880 vol 0.5") ||
        !run("lame --quiet -b 192 '" + wav + "' '" + mp3 + "'") || !run("oggenc -Q -q 5 -o '" + ogg + "' '" + wav + "'")) {
        std::printf("sox, lame and oggenc are needed\n");
        return 1;
    }

    std::printf("\nWAV (16-bit stereo)\n");
    timeLoad("loadWav", feltrix::loadWavChannels, wav, repeats, seconds);
    report("sox decoding to /dev/null", timeCommand("sox '" + wav + "' -t f32 /dev/null", repeats), seconds);

    std::printf("\nMP3 (192 kbit/s stereo)\n");
    timeLoad("loadMp3", feltrix::loadMp3Channels, mp3, repeats, seconds);
    report("lame --decode to /dev/null", timeCommand("lame --quiet --decode -t '" + mp3 + "' /dev/null", repeats),
           seconds);
    report("sox decoding to /dev/null", timeCommand("sox '" + mp3 + "' -t f32 /dev/null", repeats), seconds);

    std::printf("\nOgg Vorbis (quality 5 stereo)\n");
    timeLoad("loadOgg", feltrix::loadOggChannels, ogg, repeats, seconds);
    report("oggdec to /dev/null", timeCommand("oggdec -Q -R -o /dev/null '" + ogg + "'", repeats), seconds);
    report("sox decoding to /dev/null", timeCommand("sox '" + ogg + "' -t f32 /dev/null", repeats), seconds);

    run("rm -rf '" + dir + "'");
    return 0;
}
