// feltrix-acquire: the acquisition companion, in place of the acquisition application. Loads
// libpelgrin32.so (PELGRIN32.DLL on Windows), attaches to the shared area and writes every host variable
// Feltrix reads, computed from live EEG over OSC, a recording, or synthetic EEG. (Built a second time
// under its old name feltrix-eegsim, for a release.)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/tool_main.h"
#include "tools/acquire/edf_source.h"
#include "tools/acquire/monitor_options.h"
#include "tools/acquire/options.h"
#include "tools/acquire/osc_session.h"
#include "tools/acquire/pelgrin_library.h"
#include "tools/acquire/session.h"
#include "tools/acquire/status_line.h"
#include "tools/acquire/status_printer.h"
#include "tools/acquire/synthetic_source.h"
#include "tools/acquire/system.h"

using namespace eegsim;

namespace {

int fail(const std::string& message, int code = 1) {
    std::printf("feltrix-acquire: %s\n", message.c_str());
    std::fflush(stdout);
    return code;
}

}  // namespace

int toolMain(const std::vector<std::string>& arguments) {
#ifdef FELTRIX_ACQUIRE_OLD_NAME
    std::fprintf(stderr, "feltrix-eegsim is now called feltrix-acquire; the old name goes after this release.\n");
#endif
    // Watching instead of writing: a command of its own.
    if (monitor::isMonitorCommand(arguments)) return monitor::runMonitorCommand(arguments);
    Options options;
    std::string error;
    if (!parseOptions(arguments, options, error))
        return fail(error + " (see --help)", 2);
    if (options.help) {
        std::printf("%s", usageText().c_str());
        return 0;
    }

    // The source first, so that a wrong file is reported before anything
    // touches the shared area.
    std::unique_ptr<SignalSource> source;
    OscInput osc;
    std::string description;
    if (options.source == Options::Source::Edf) {
        auto edf = EdfSource::open(options.edf, error);
        if (!edf) return fail(error);
        description = "recording " + options.edf.path + " (" + edf->describe() + ")";
        source = std::move(edf);
    } else if (options.source == Options::Source::Synthetic) {
        source = std::make_unique<SyntheticSource>(options.synthetic);
        description = "synthetic EEG, seed " + std::to_string(options.synthetic.seed);
    } else if (options.source == Options::Source::Osc) {
        if (!openOscInput(options, osc, error)) return fail(error);
        description = describeOscInput(options, osc);
    } else {
        description = "recorded session " + options.replayPath;
    }

    PelgrinLibrary library;
    if (!loadPelgrinLibrary(options.libraryPath, library, error)) return fail(error);
    if (!library.open("feltrix-acquire")) return fail("cannot attach to the shared area through " + library.path);

    char rate[64];
    std::snprintf(rate, sizeof rate, "%g updates per second", options.analysis.tickRate);
    std::printf("feltrix-acquire: writing through %s, %s, %s. Ctrl-C stops.\n", library.path.c_str(),
                description.c_str(),
                options.source == Options::Source::Replay ? "at the recorded pace"
                : options.source == Options::Source::Osc  ? "as the samples arrive"
                                                          : rate);
    std::fflush(stdout);

    installStopHandler();
    StatusPrinter printer(standardOutputIsTerminal());
    SessionHooks hooks;
    DllCFuncFunction dllCFunc = library.dllCFunc;
    hooks.publish = [dllCFunc](const HostFrame& frame) { writeHostFrame(dllCFunc, frame); };
    if (!options.quiet)
        hooks.status = [&printer](double seconds, const HostFrame& frame) {
            printer.show(seconds, formatStatus(seconds, frame));
        };
    hooks.now = monotonicSeconds;
    hooks.waitUntil = sleepUntil;
    hooks.stop = stopRequested;

    OscSessionOutput oscOutput;
    oscOutput.notice = [&printer](const std::string& text) { printer.note("feltrix-acquire: " + text); };
    if (!options.quiet) oscOutput.status = [&printer](double seconds, const std::string& text) { printer.show(seconds, text); };
    SessionResult result = options.source == Options::Source::Replay ? runReplaySession(options, hooks)
                           : options.source == Options::Source::Osc  ? runOscSession(osc, options, hooks, oscOutput)
                                                                     : runSourceSession(*source, options, hooks);
    printer.end();
    if (!result.ok) return fail(result.message);
    std::printf("feltrix-acquire: %s after %llu updates (%.1f s of signal)\n", result.message.c_str(),
                static_cast<unsigned long long>(result.ticks), result.seconds);
    return 0;
}
