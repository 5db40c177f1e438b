// Seconds of the demo session rendered per second of wall time (and per
// second of processor time, which a busy machine does not distort), against
// the seeded synthetic EEG, beside real time (1x). One render per run, in
// process, through the same code as feltrix-render. Then bare libsamplerate's
// speed for one medium-quality converter from 44.1 kHz to 48 kHz, the bound
// for the demo's six voices when its sounds need conversion.
//
//   build/bin/render_bench [seconds of session] [output file] [demo folder] [threads]
//
// The demo folder defaults to build/demo (sounds at 48 kHz, mixed without
// conversion); build/bench/demo-44k holds the same demo with 44.1 kHz sounds.
// Threads: 0 (default) one per processor core.
#include <samplerate.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tools/render/render_system.h"
#include "tools/render/session_renderer.h"
#include "tools/render/session_values.h"
#include "tools/render/sound_file_writer.h"

using namespace feltrix::render;

namespace {

double processorSecondsSince(double start) { return processorSeconds() - start; }

// Seconds of 48 kHz output one medium-quality mono converter makes from
// 44.1 kHz input per second of processor time, in blocks of the render's size.
double bareConverterSpeed() {
    constexpr int inRate = 44100, outRate = 48000;
    constexpr long outBlock = 4096;
    const double ratio = static_cast<double>(outRate) / inRate;
    std::vector<float> input(static_cast<std::size_t>(outBlock / ratio) + 2), output(outBlock);
    int error = 0;
    SRC_STATE* converter = src_new(SRC_SINC_MEDIUM_QUALITY, 1, &error);
    if (converter == nullptr) return 0.0;
    double phase = 0.0;
    long made = 0;
    const double start = processorSeconds();
    while (processorSecondsSince(start) < 2.0) {
        for (float& sample : input) sample = static_cast<float>(0.5 * std::sin(phase)), phase += 0.0626;
        SRC_DATA data{};
        data.data_in = input.data();
        data.data_out = output.data();
        data.input_frames = static_cast<long>(input.size());
        data.output_frames = outBlock;
        data.src_ratio = ratio;
        if (src_process(converter, &data) != 0) break;
        made += data.output_frames_gen;
    }
    const double seconds = processorSecondsSince(start);
    src_delete(converter);
    return seconds > 0.0 ? made / static_cast<double>(outRate) / seconds : 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 300.0;
    const std::string out = absolutePath(argc > 2 ? argv[2] : "render_bench.wav");
    const std::string demo = argc > 3 ? argv[3] : FELTRIX_DEMO_DIR;
    unsigned threads = argc > 4 ? static_cast<unsigned>(std::atoi(argv[4])) : 0;
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    constexpr int rate = 48000;
    SyntheticValues values(eegsim::SyntheticConfig{}, eegsim::AnalysisConfig{});
    SoundFileWriter output;
    std::string error;
    if (!output.open(out, rate, std::nullopt, error) || !changeDirectory(demo, error)) {
        std::fprintf(stderr, "render_bench: %s\n", error.c_str());
        return 1;
    }
    const double processorStart = processorSeconds();
    const RenderOutcome outcome = renderSession("FeltrixInit.lj", &values, toMicros(seconds), rate, output, threads);
    if (outcome.exitCode != 0) return outcome.exitCode;
    const double processor = processorSecondsSince(processorStart);
    const double rendered = static_cast<double>(outcome.frames) / rate;
    const double bare = bareConverterSpeed();
    std::printf("demo session from %s, %.0f s at %d Hz, mixed on %u threads (real time: 1x)\n"
                "  wall time      %7.2f s  %6.1fx real time\n"
                "  processor time %7.2f s  %6.1fx real time\n"
                "bare libsamplerate, one medium-quality converter 44.1 -> 48 kHz: %.1fx real time per core;\n"
                "  six voices at 44.1 kHz on %u threads: at most %.1fx real time\n",
                demo.c_str(), rendered, rate, threads, outcome.wallSeconds, rendered / outcome.wallSeconds, processor,
                rendered / processor, bare, threads, bare / 6.0 * threads);
    std::fflush(stdout);
    std::exit(0);
}
