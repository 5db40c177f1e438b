// feltrix-render: runs a Feltrix init script against recorded or synthetic
// EEG values on a virtual clock and writes the mix to a sound file.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/script_host.h"
#include "common/tool_main.h"
#include "tools/render/render_options.h"
#include "tools/render/render_system.h"
#include "tools/render/session_renderer.h"
#include "tools/render/session_values.h"
#include "tools/render/sound_file_writer.h"

using namespace feltrix::render;

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "feltrix-render: %s\n", message.c_str());
    return 1;
}

}  // namespace

int toolMain(const std::vector<std::string>& arguments) {
    // A buffer size of 0 is refused by the Windows C runtime (which then
    // treats _IOLBF as full buffering anyway); BUFSIZ works everywhere.
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(arguments, options, error))
        return fail(error + " (see --help)");
    if (options.help) {
        std::printf("%s", renderUsageText().c_str());
        return 0;
    }

    // The script runs in its own folder; the other files are named relative
    // to the folder the program was started in.
    std::string folder;
    std::string script = feltrix::kInitScriptName;
    if (!options.scriptPath.empty()) {
        const std::size_t slash = options.scriptPath.find_last_of("/\\");
        folder = slash == std::string::npos ? "" : options.scriptPath.substr(0, slash + 1);
        script = options.scriptPath.substr(slash == std::string::npos ? 0 : slash + 1);
    }

    std::unique_ptr<SessionValues> values;
    Micros length = options.seconds ? toMicros(*options.seconds) : 0;
    if (options.values == RenderOptions::Values::Replay) {
        auto replay = std::make_unique<ReplayValues>();
        if (!replay->open(options.replayPath, error)) return fail(error);
        if (!options.seconds) length = replay->length();
        values = std::move(replay);
    } else if (options.values == RenderOptions::Values::Synthetic) {
        values = std::make_unique<SyntheticValues>(options.synthetic, options.analysis);
    }

    SoundFileWriter output;
    if (!output.open(absolutePath(options.outPath), options.rate, options.format, error)) return fail(error);
    if (!folder.empty() && !changeDirectory(folder, error)) {
        output.abandon();
        return fail("cannot enter the script's folder \"" + folder + "\": " + error);
    }
    const RenderOutcome outcome = renderSession(script, values.get(), length, options.rate, output);
    std::fflush(stdout);
    // Not a return: the script host and the audio engine live until the
    // process ends, as in the program.
    std::exit(outcome.exitCode);
}
