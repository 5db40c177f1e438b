// Seconds of the demo session rendered per second of wall time (and per
// second of processor time, which a busy machine does not distort), against
// the seeded synthetic EEG, beside real time (1x). One render per run, in
// process, through the same code as feltrix-render.
//
//   build/bin/render_bench [seconds of session] [output file]
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <string>

#include "tools/render/render_system.h"
#include "tools/render/session_renderer.h"
#include "tools/render/session_values.h"
#include "tools/render/sound_file_writer.h"

using namespace feltrix::render;

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 300.0;
    const std::string out = absolutePath(argc > 2 ? argv[2] : "render_bench.wav");
    constexpr int rate = 48000;
    SyntheticValues values(eegsim::SyntheticConfig{}, eegsim::AnalysisConfig{});
    SoundFileWriter output;
    std::string error;
    if (!output.open(out, rate, std::nullopt, error) || !changeDirectory(FELTRIX_DEMO_DIR, error)) {
        std::fprintf(stderr, "render_bench: %s\n", error.c_str());
        return 1;
    }
    const std::clock_t processorStart = std::clock();
    const RenderOutcome outcome = renderSession("FeltrixInit.lj", &values, toMicros(seconds), rate, output);
    if (outcome.exitCode != 0) return outcome.exitCode;
    const double processor = static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC;
    const double rendered = static_cast<double>(outcome.frames) / rate;
    std::printf("demo session, %.0f s at %d Hz (real time: 1x)\n"
                "  wall time      %7.2f s  %6.1fx real time\n"
                "  processor time %7.2f s  %6.1fx real time\n",
                rendered, rate, outcome.wallSeconds, rendered / outcome.wallSeconds, processor, rendered / processor);
    std::fflush(stdout);
    std::exit(0);
}
