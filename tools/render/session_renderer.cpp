#include "tools/render/session_renderer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/script_host.h"
#include "app/update_timer.h"
#include "audio/audio_engine.h"
#include "audio/ogg_decoder_thread.h"
#include "gui/item_registry.h"
#include "gui/memory_window_system.h"
#include "gui/modal_ui.h"
#include "tools/render/parallel_mixer.h"
#include "tools/render/progress_bar.h"
#include "tools/render/render_system.h"

namespace feltrix::render {
namespace {

// Frames pulled from the mixer at a time.
constexpr std::uint32_t kBlockFrames = 4096;
// Renders at least this long get a progress bar (on a terminal).
constexpr Micros kProgressBarFrom = 5'000'000;

// The update timer on the session's clock: armed during a cycle (or at the
// start), it fires one period after that cycle's time.
class VirtualUpdateTimer : public UpdateTimer {
public:
    void arm(int periodMs) override {
        periodMs_ = periodMs;
        nextMs_ = nowMs_ + periodMs;
    }
    std::int64_t nextMs() const { return nextMs_; }
    // The clock moves on to the next cycle's time.
    void fire() {
        nowMs_ = nextMs_;
        nextMs_ += periodMs_;
    }
    std::int64_t nowMs() const { return nowMs_; }

private:
    std::int64_t nowMs_ = 0;
    std::int64_t nextMs_ = 0;
    std::int64_t periodMs_ = 0;
};

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

void reportError(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "feltrix-render: %s\n", message.c_str());
    std::fflush(stderr);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void reportDone(const SoundFileWriter& output, int rate, double wallSeconds) {
    const double seconds = static_cast<double>(output.framesWritten()) / rate;
    std::fprintf(stderr, "feltrix-render: wrote %s: %.2f s of session in %.2f s (%.0fx real time)\n",
                 output.path().c_str(), seconds, wallSeconds, wallSeconds > 0 ? seconds / wallSeconds : 0.0);
    std::fflush(stderr);
}

}  // namespace

RenderOutcome renderSession(const std::string& scriptName, SessionValues* values, Micros length, int rate,
                            SoundFileWriter& output, unsigned threads) {
    const auto started = std::chrono::steady_clock::now();
    RenderOutcome outcome;
    // The script host and its collaborators live until the process ends, as
    // in the program (exit() ends the process from inside a script call).
    engineChannelTable().setSampleRate(rate);
    enableAutomation();
    auto* windows = new MemoryWindowSystem;
    guiItems().setWindowSystem(windows);
    installSessionLibrary(values != nullptr);
    auto* host = new ScriptHost(false);
    setActiveScriptHost(host);
    auto* timer = new VirtualUpdateTimer;
    host->setUpdateTimer(timer);

    const std::uint64_t total = static_cast<std::uint64_t>(length) * static_cast<std::uint64_t>(rate) / 1'000'000;
    ProgressBar progress(standardErrorIsTerminal() && length >= kProgressBarFrom, total);
    host->setCallbackErrorHandler([&](const std::string& message) {
        progress.end();
        output.abandon();
        reportError("error in a callback: " + firstLine(message));
        std::exit(1);
    });
    host->setExitHandler([&] {
        progress.end();
        std::string error;
        if (!output.finish(error)) {
            reportError(error);
            std::exit(1);
        }
        reportDone(output, rate, secondsSince(started));
    });

    const auto fail = [&](const std::string& message) {
        progress.end();
        output.abandon();
        reportError(message);
        outcome.exitCode = 1;
        return outcome;
    };
    const std::string failure = host->loadAndRunInitScript(scriptName.c_str());
    if (!failure.empty()) return fail(firstLine(failure));

    std::vector<float> block(2 * kBlockFrames);
    ParallelMixer mixer(threads);
    std::uint64_t done = 0;
    // Mixes up to `target` frames; the Ogg files loaded so far are decoded
    // completely first, so no frame depends on a decoder thread's pace.
    const auto renderUntil = [&](std::uint64_t target) {
        waitForOggDecoderThreads();
        while (done < target) {
            const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(kBlockFrames, target - done));
            mixer.mix(engineChannelTable(), block.data(), count);
            if (!output.write(block.data(), count)) return false;
            done += count;
            progress.update(done);
        }
        return true;
    };
    std::string error;
    const auto publishValuesAt = [&](std::int64_t ms) {
        if (values == nullptr) return true;
        if (!values->advanceTo(ms * 1000, error)) return false;
        publishSessionFrame(values->frame());
        return true;
    };

    if (!publishValuesAt(0)) return fail(error);
    host->startUpdates();  // cycle 0 at time 0; arms the timer
    for (;;) {
        const auto next = static_cast<std::uint64_t>(timer->nextMs()) * static_cast<std::uint64_t>(rate) / 1000;
        if (!renderUntil(std::min(total, next))) return fail("cannot write \"" + output.path() + "\"");
        if (done >= total) break;
        timer->fire();
        if (!publishValuesAt(timer->nowMs())) return fail(error);
        host->runUpdateCycle();
        windows->invalidated.clear();
    }
    progress.end();
    if (!output.finish(error)) return fail(error);
    outcome.frames = done;
    outcome.wallSeconds = secondsSince(started);
    reportDone(output, rate, outcome.wallSeconds);
    return outcome;
}

}  // namespace feltrix::render
