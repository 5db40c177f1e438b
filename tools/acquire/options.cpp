#include "tools/acquire/options.h"

#include <cmath>

#include "tools/acquire/signal_options.h"

namespace eegsim {
std::string usageText() {
    return R"(Usage: feltrix-acquire [options]
Feeds the shared area through the interface library (libpelgrin32.so; on
Windows PELGRIN32.DLL) with band measures computed from EEG, in place of the
acquisition application. Ctrl-C stops it (on Windows Ctrl-Break too).

Source (synthetic EEG unless one of these is given):
  --edf FILE               replay an EDF, EDF+, BDF or BDF+ recording
  --left LABEL             channel of the recording (sensor of the OSC source) for the
                           left side (default: first channel; for OSC AF7)
  --right LABEL            channel or sensor for the right side (default: second; AF8)
  --no-loop                stop at the end of the recording instead of starting again
  --replay FILE            write back a session recorded with --record, at its own pace
  --osc PORT               live EEG: listen for OSC over UDP on PORT (e.g. Muse through
                           Mind Monitor); the updates follow the arriving samples
  --osc-bind ADDRESS       listen on this address only (default: every interface)
  --osc-rate HZ            sample rate of the raw EEG sent (default 256)
  --osc-bands              prefer the band powers the device sends to its raw EEG
  --osc-map FILE           the sender's addresses (default: Muse's; see docs/osc-input.md)
)" + syntheticOptionsUsage() +
           R"(Pace:
  --rate N                 updates per second (default 32)
  --speed X                run X times faster than real time (default 1; 0 = no waiting)
  --duration SECONDS       stop after this much signal time
  --ticks N                stop after N updates
)" + measureOptionsUsage() +
           R"(Output:
  --record FILE            write every update's values to a CSV file
  --library PATH           the interface library file to load
  --quiet                  no status line
  --help                   this text
Watching instead of writing: --monitor shows (and --record records) what the
acquisition application writes, without writing (see --monitor --help).
The variables written, their units and meaning: docs/host-variables.md.
)";
}

bool parseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error) {
    bool sawEdf = false, sawReplay = false, sawOsc = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--no-loop") {
            options.edf.loop = false;
            continue;
        }
        if (name == "--quiet") {
            options.quiet = true;
            continue;
        }
        if (name == "--osc-bands") {
            options.osc.preferBands = true;
            continue;
        }
        static const char* const valueOptions[] = {"--edf",   "--left",     "--right", "--replay",
                                                   "--rate",  "--speed",    "--duration", "--ticks",
                                                   "--record", "--library", "--osc", "--osc-bind",
                                                   "--osc-rate", "--osc-map"};
        bool known = isSignalOption(name);
        for (const char* option : valueOptions) known = known || name == option;
        if (!takeOptionValue(arguments, i, known, error)) return false;
        const std::string& text = arguments[i];
        const SignalOptionParse signal = parseSignalOption(name, text, options.synthetic, options.analysis, error);
        if (signal == SignalOptionParse::Rejected) return false;
        if (signal == SignalOptionParse::Accepted) continue;
        auto numberAt = [&](double low, double& target, bool lowInclusive = true) {
            return parseNumberOption(name, text, low, lowInclusive, target, error);
        };
        bool ok = true;
        if (name == "--edf") {
            options.edf.path = text;
            sawEdf = true;
        } else if (name == "--left") {
            options.edf.leftLabel = text;
        } else if (name == "--right") {
            options.edf.rightLabel = text;
        } else if (name == "--replay") {
            options.replayPath = text;
            sawReplay = true;
        } else if (name == "--rate") {
            ok = numberAt(0.1, options.analysis.tickRate) && options.analysis.tickRate <= 1000.0;
            if (!ok) error = "bad value for --rate (0.1 to 1000): " + text;
        } else if (name == "--speed") {
            // 0 runs without waiting; a tiny speed would wait for ages.
            ok = numberAt(0.0, options.speed) && (options.speed == 0.0 || options.speed >= 0.001);
            if (!ok) error = "bad value for --speed (0, or 0.001 and more): " + text;
        } else if (name == "--duration") {
            double seconds = 0.0;
            ok = numberAt(0.0, seconds, false);
            options.durationSeconds = seconds;
        } else if (name == "--ticks") {
            double ticks = 0.0;
            ok = numberAt(1.0, ticks) && ticks == std::floor(ticks);
            if (!ok) error = "bad value for --ticks: " + text;
            options.maxTicks = static_cast<uint64_t>(ticks);
        } else if (name == "--record") {
            options.recordPath = text;
        } else if (name == "--library") {
            options.libraryPath = text;
        } else if (name == "--osc") {
            options.osc.port = text;
            sawOsc = true;
        } else if (name == "--osc-bind") {
            options.osc.bindAddress = text;
        } else if (name == "--osc-rate") {
            ok = numberAt(32.0, options.osc.sampleRate) && options.osc.sampleRate <= 100000.0;
            if (!ok) error = "bad value for --osc-rate (32 to 100000): " + text;
        } else if (name == "--osc-map") {
            options.osc.mapPath = text;
        }
        if (!ok) return false;
    }
    if (int(sawEdf) + int(sawReplay) + int(sawOsc) > 1) {
        error = "only one of --edf, --replay and --osc can be given";
        return false;
    }
    if (sawReplay && !options.recordPath.empty() && options.recordPath == options.replayPath) {
        error = "--record and --replay name the same file";
        return false;
    }
    options.source = sawEdf      ? Options::Source::Edf
                     : sawReplay ? Options::Source::Replay
                     : sawOsc    ? Options::Source::Osc
                                 : Options::Source::Synthetic;
    return true;
}

}  // namespace eegsim
