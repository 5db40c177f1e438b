// feltrix-eegsim: stands in for the acquisition application. Loads
// libpelgrin32.so (PELGRIN32.DLL on Windows), attaches to the shared area and writes every host variable
// Feltrix reads, computed from synthetic or recorded EEG.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/tool_main.h"
#include "tools/eegsim/edf_source.h"
#include "tools/eegsim/monitor_options.h"
#include "tools/eegsim/options.h"
#include "tools/eegsim/pelgrin_library.h"
#include "tools/eegsim/session.h"
#include "tools/eegsim/status_line.h"
#include "tools/eegsim/synthetic_source.h"
#include "tools/eegsim/system.h"

using namespace eegsim;

namespace {

int fail(const std::string& message, int code = 1) {
    std::printf("feltrix-eegsim: %s\n", message.c_str());
    std::fflush(stdout);
    return code;
}

// Status on a terminal: one line rewritten in place, ten times a second at
// most. Elsewhere (a pipe, a log file): one line per second of signal.
class StatusPrinter {
public:
    explicit StatusPrinter(bool terminal) : terminal_(terminal) {}
    void show(double seconds, const HostFrame& frame) {
        if (terminal_) {
            double now = monotonicSeconds();
            if (now - lastShown_ < 0.1) return;
            lastShown_ = now;
            // Spaces rather than a terminal escape clear the rest of a longer
            // previous line: a Windows console may not know the escapes.
            // A line as wide as the window would wrap, and the carriage
            // return would then rewrite only its last row: cut it short.
            std::string text = formatStatus(seconds, frame);
            const std::size_t columns = terminalColumns();
            if (columns > 1 && text.size() > columns - 1) text.resize(columns - 1);
            std::size_t width = std::max(width_, text.size());
            if (columns > 1) width = std::min(width, columns - 1);
            std::printf("\r%s%*s", text.c_str(), static_cast<int>(width - text.size()), "");
            width_ = width;
            shown_ = true;
        } else {
            long second = static_cast<long>(std::floor(seconds));
            if (second == lastSecond_) return;
            lastSecond_ = second;
            std::printf("%s\n", formatStatus(seconds, frame).c_str());
        }
        std::fflush(stdout);
    }
    void end() {
        if (terminal_ && shown_) std::printf("\n");
    }

private:
    bool terminal_;
    bool shown_ = false;
    std::size_t width_ = 0;
    double lastShown_ = -1.0;
    long lastSecond_ = -1;
};

}  // namespace

int toolMain(const std::vector<std::string>& arguments) {
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
    std::string description;
    if (options.source == Options::Source::Edf) {
        auto edf = EdfSource::open(options.edf, error);
        if (!edf) return fail(error);
        description = "recording " + options.edf.path + " (" + edf->describe() + ")";
        source = std::move(edf);
    } else if (options.source == Options::Source::Synthetic) {
        source = std::make_unique<SyntheticSource>(options.synthetic);
        description = "synthetic EEG, seed " + std::to_string(options.synthetic.seed);
    } else {
        description = "recorded session " + options.replayPath;
    }

    PelgrinLibrary library;
    if (!loadPelgrinLibrary(options.libraryPath, library, error)) return fail(error);
    if (!library.open("feltrix-eegsim")) return fail("cannot attach to the shared area through " + library.path);

    char rate[64];
    std::snprintf(rate, sizeof rate, "%g updates per second", options.analysis.tickRate);
    std::printf("feltrix-eegsim: writing through %s, %s, %s. Ctrl-C stops.\n", library.path.c_str(),
                description.c_str(), options.source == Options::Source::Replay ? "at the recorded pace" : rate);
    std::fflush(stdout);

    installStopHandler();
    StatusPrinter printer(standardOutputIsTerminal());
    SessionHooks hooks;
    DllCFuncFunction dllCFunc = library.dllCFunc;
    hooks.publish = [dllCFunc](const HostFrame& frame) { writeHostFrame(dllCFunc, frame); };
    if (!options.quiet) hooks.status = [&printer](double seconds, const HostFrame& frame) { printer.show(seconds, frame); };
    hooks.now = monotonicSeconds;
    hooks.waitUntil = sleepUntil;
    hooks.stop = stopRequested;

    SessionResult result = options.source == Options::Source::Replay ? runReplaySession(options, hooks)
                                                                      : runSourceSession(*source, options, hooks);
    printer.end();
    if (!result.ok) return fail(result.message);
    std::printf("feltrix-eegsim: %s after %llu updates (%.1f s of signal)\n", result.message.c_str(),
                static_cast<unsigned long long>(result.ticks), result.seconds);
    return 0;
}
