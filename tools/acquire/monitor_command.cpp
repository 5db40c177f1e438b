// feltrix-acquire --monitor: binds the interface library with Feltrix's own
// binding code (the same calls in the same order), then watches.
#include <cstdio>

#include "hostlink/binding_texts.h"
#include "hostlink/host_variables.h"
#include "hostlink/interface_binding.h"
#include "tools/acquire/monitor_console.h"
#include "tools/acquire/monitor_options.h"
#include "tools/acquire/monitor_plain.h"
#include "tools/acquire/monitor_session.h"
#include "tools/acquire/system.h"

namespace eegsim::monitor {
namespace {

int fail(const std::string& message, int code) {
    std::printf("feltrix-acquire: %s\n", message.c_str());
    std::fflush(stdout);
    return code;
}

// The library Feltrix would load (or the one --library names), with what
// went wrong kept for the message.
std::string chosenLibrary;
std::string loadFailures;
feltrix::LibraryHandle loadedLibrary = nullptr;

feltrix::LibraryHandle loadChosenLibrary() {
    const char* const name = feltrix::kInterfaceLibraryFileName;
    loadedLibrary = chosenLibrary.empty() ? feltrix::loadLibraryNextToProgram(name, &loadFailures)
                                          : feltrix::loadLibraryFile(chosenLibrary.c_str(), &loadFailures);
    return loadedLibrary;
}

const char* bindingFailure(feltrix::BindOutcome outcome) {
    using feltrix::BindOutcome;
    switch (outcome) {
    case BindOutcome::LoadFailed: return feltrix::kBindingTexts.loadFailed;
    case BindOutcome::DllCFuncMissing: return feltrix::kBindingTexts.dllCFuncMissing;
    case BindOutcome::OpenMissing: return feltrix::kBindingTexts.openMissing;
    case BindOutcome::OpenFailed: return feltrix::kBindingTexts.openFailed;
    case BindOutcome::Bound:
    case BindOutcome::AlreadyBound: break;
    }
    return nullptr;
}

class ViewOutput : public MonitorOutput {
public:
    ViewOutput(const Selection& selection, std::string library, const ChangeRecorder* recorder)
        : selection_(selection), library_(std::move(library)), recorder_(recorder) {}

    void refresh(const ChangeTracker& tracker, double now) override {
        char elapsed[32];
        std::snprintf(elapsed, sizeof elapsed, "%.1f s", now - tracker.start());
        ViewText text{std::string("feltrix-acquire --monitor (read only)  ") + elapsed + "  Ctrl-C stops  " + library_,
                      notice_, {}};
        if (recorder_ && recorder_->active())
            text.recording = "recording " + recorder_->path() + ": " + std::to_string(recorder_->rows()) + " rows";
        const ConsoleSize size = consoleSize();
        drawConsoleView(buildView(tracker, selection_, now, text, size.columns, size.rows));
    }
    void notice(const std::string& text, double) override { notice_ = text; }
    const std::string& lastNotice() const { return notice_; }

private:
    const Selection& selection_;
    std::string library_;
    const ChangeRecorder* recorder_;
    std::string notice_;
};

}  // namespace

int runMonitorCommand(const std::vector<std::string>& arguments) {
    MonitorOptions options;
    std::string error;
    if (!parseMonitorOptions(arguments, options, error)) return fail(error + " (see --monitor --help)", 2);
    if (options.help) {
        std::printf("%s", monitorUsageText().c_str());
        return 0;
    }

    // Feltrix's binding: load, DllCFunc, Open, Open("Feltrix"); nothing else
    // reaches the area but the snapshot's reads.
    chosenLibrary = options.libraryPath;
    feltrix::setLibraryAccess({loadChosenLibrary, feltrix::findLibraryExport});
    const feltrix::BindOutcome outcome = feltrix::bindInterfaceLibrary();
    if (outcome != feltrix::BindOutcome::Bound) {
        std::string message = bindingFailure(outcome);
        if (outcome == feltrix::BindOutcome::LoadFailed) message += loadFailures;
        return fail(message, 1);
    }
    std::string library = feltrix::libraryPath(loadedLibrary);
    if (library.empty()) library = feltrix::kInterfaceLibraryFileName;

    ChangeRecorder recorder;
    if (!options.recordPath.empty() && !recorder.open(options.recordPath, error)) return fail(error, 1);
    ChangeRecorder* recording = options.recordPath.empty() ? nullptr : &recorder;

    installStopHandler();
    const bool view = !options.plain && standardOutputIsTerminal();
    MonitorHooks hooks;
    hooks.read = [](HostVariableSnapshot& snapshot) { feltrix::readHostVariables(feltrix::boundDllCFunc(), snapshot); };
    hooks.now = monotonicSeconds;
    hooks.waitUntil = sleepUntil;
    hooks.stop = stopRequested;

    bool closed = true;
    if (view) {
        ViewOutput output(options.selection, library, recording);
        startConsoleView();
        closed = runMonitor(hooks, recording, output);
        endConsoleView();
        if (!output.lastNotice().empty()) std::printf("feltrix-acquire: %s\n", output.lastNotice().c_str());
    } else {
        std::printf("feltrix-acquire: watching the shared area through %s (read only)%s. Ctrl-C stops.\n",
                    library.c_str(), recording ? (", recording to " + options.recordPath).c_str() : "");
        std::fflush(stdout);
        PlainOutput output(options.selection, stdout);
        closed = runMonitor(hooks, recording, output);
    }
    if (recording && closed)
        std::printf("feltrix-acquire: stopped; \"%s\" holds %llu rows\n", options.recordPath.c_str(),
                    static_cast<unsigned long long>(recorder.rows()));
    else
        std::printf("feltrix-acquire: stopped\n");
    std::fflush(stdout);
    return closed ? 0 : 1;
}

}  // namespace eegsim::monitor
