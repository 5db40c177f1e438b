#include "tools/render/render_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "tools/acquire/signal_options.h"

namespace feltrix::render {

std::string renderUsageText() {
    return R"(Usage: feltrix-render --out FILE [options]
Runs a Feltrix init script against recorded or synthetic EEG values on a
virtual clock and writes what it plays to a sound file, faster than real time
and the same on every run.

  --out FILE               the sound file to write: WAV, or FLAC for a name ending in .flac
  --script FILE            the init script (default: FeltrixInit.lj in the current folder);
                           it runs in its own folder, as Feltrix runs it
  --seconds N              length of the session (default: the length of the --replay file)
  --rate HZ                output sample rate (default 48000)
  --format float|s16       32-bit float (WAV default) or 16-bit samples (FLAC: s16 only)
Values (all zero, as when unconnected, unless one of these is given):
  --replay FILE.csv        a session recorded by feltrix-acquire --record: each update
                           cycle sees the latest row whose time is not after its own
  --synthetic              synthetic EEG and measures computed as feltrix-acquire does,
                           32 updates per second, shaped by these options:
)" + eegsim::syntheticOptionsUsage() +
           eegsim::measureOptionsUsage() + R"(  --help                   this text
)";
}

namespace {

bool checkCombination(const RenderOptions& options, bool sawSignalOption, std::string& error) {
    if (options.outPath.empty()) {
        error = "--out FILE is needed";
    } else if (sawSignalOption && options.values != RenderOptions::Values::Synthetic) {
        error = "the synthetic-signal and measure options need --synthetic";
    } else if (!options.seconds && options.values != RenderOptions::Values::Replay) {
        error = "--seconds N is needed (only a --replay file gives a length of its own)";
    } else {
        return true;
    }
    return false;
}

}  // namespace

bool parseRenderOptions(const std::vector<std::string>& arguments, RenderOptions& options, std::string& error) {
    bool sawReplay = false, sawSynthetic = false, sawSignalOption = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            return true;
        }
        if (name == "--synthetic") {
            sawSynthetic = true;
            continue;
        }
        const bool known = name == "--out" || name == "--script" || name == "--seconds" || name == "--rate" ||
                           name == "--format" || name == "--replay" || eegsim::isSignalOption(name);
        if (!eegsim::takeOptionValue(arguments, i, known, error)) return false;
        const std::string& text = arguments[i];
        const eegsim::SignalOptionParse signal =
            eegsim::parseSignalOption(name, text, options.synthetic, options.analysis, error);
        if (signal == eegsim::SignalOptionParse::Rejected) return false;
        if (signal == eegsim::SignalOptionParse::Accepted) {
            sawSignalOption = true;
            continue;
        }
        double number = 0.0;
        if (name == "--out") {
            options.outPath = text;
        } else if (name == "--script") {
            options.scriptPath = text;
        } else if (name == "--replay") {
            options.replayPath = text;
            sawReplay = true;
        } else if (name == "--seconds") {
            if (!eegsim::parseNumber(text, number) || number < 0.0 || number > 1e7) {
                error = "bad value for --seconds: " + text;
                return false;
            }
            options.seconds = number;
        } else if (name == "--rate") {
            if (!eegsim::parseNumber(text, number) || number != std::floor(number) || number < 8000 ||
                number > 384000) {
                error = "bad value for --rate (whole hertz, 8000 to 384000): " + text;
                return false;
            }
            options.rate = static_cast<int>(number);
        } else if (name == "--format") {
            if (text != "float" && text != "s16") {
                error = "bad value for --format (float or s16): " + text;
                return false;
            }
            options.format = text == "float" ? SampleFormat::Float32 : SampleFormat::Signed16;
        }
    }
    if (sawReplay && sawSynthetic) {
        error = "--replay and --synthetic cannot be used together";
        return false;
    }
    options.values = sawReplay      ? RenderOptions::Values::Replay
                     : sawSynthetic ? RenderOptions::Values::Synthetic
                                    : RenderOptions::Values::None;
    return checkCombination(options, sawSignalOption, error);
}

}  // namespace feltrix::render
