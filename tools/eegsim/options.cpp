#include "tools/eegsim/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace eegsim {
namespace {

bool toNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    // No option takes a number this large; beyond it, counts of samples and
    // ticks derived from the value would not fit their integers.
    return *end == '\0' && errno == 0 && std::fabs(value) <= 1e9;
}

bool toRange(const std::string& text, BandRange& range) {
    auto dash = text.find('-', 1);
    if (dash == std::string::npos) return false;
    return toNumber(text.substr(0, dash), range.low) && toNumber(text.substr(dash + 1), range.high) &&
           range.low >= 0.0 && range.high > range.low;
}

int bandByName(const std::string& name) {
    for (int band = 0; band < kBands; ++band) {
        if (strcasecmp(name.c_str(), bandName(band)) == 0) return band;
    }
    return -1;
}

}  // namespace

std::string usageText() {
    return R"(Usage: feltrix-eegsim [options]
Feeds the shared area through libpelgrin32.so with band measures computed from
EEG, in place of the acquisition application. Ctrl-C stops it.

Source (synthetic EEG unless one of these is given):
  --edf FILE               replay an EDF, EDF+, BDF or BDF+ recording
  --left LABEL             channel of the recording for the left side (default: first)
  --right LABEL            channel for the right side (default: second)
  --no-loop                stop at the end of the recording instead of starting again
  --replay FILE            write back a session recorded with --record, at its own pace
Synthetic EEG:
  --seed N                 random seed (default 1); the same seed gives the same session
  --sample-rate HZ         samples per second (default 256)
  --alpha-frequency HZ     alpha rhythm (default 10)
  --alpha-amplitude UV     alpha peak amplitude with eyes closed (default 30)
  --eyes OPEN,CLOSED       eyes-open and eyes-closed block lengths in seconds (default 10,20)
  --blinks N               blinks per minute while the eyes are open (default 8, 0 = none)
Pace:
  --rate N                 updates per second (default 32)
  --speed X                run X times faster than real time (default 1; 0 = no waiting)
  --duration SECONDS       stop after this much signal time
  --ticks N                stop after N updates
Measures:
  --window SECONDS         FFT window length (default 2)
  --user LOW-HIGH          User band in Hz (default 8-10)
  --resrv LOW-HIGH         Resrv band in Hz (default 10-12)
  --damping SECONDS        time constant of DampedValue (default 1)
  --stats-window SECONDS   running window of Mean, StandardDeviation, ... (default 30)
  --threshold-sd K         NextThreshold = Mean + K x StandardDeviation (default 0.5)
  --threshold-period SECONDS  Threshold takes over NextThreshold this often (default 10)
  --threshold BAND=VALUE   fixed threshold of a band in 0.1 uV (repeatable)
  --artifact-limit UV      artifact above this deviation from the window mean (default 100)
  --coherence-time SECONDS averaging time of Coher and Phase (default 4)
  --event-hold SECONDS     how long an event's Flag stays 1 (default 0.3)
Output:
  --record FILE            write every update's values to a CSV file
  --library PATH           the libpelgrin32.so to load
  --quiet                  no status line
  --help                   this text
The variables written, their units and meaning: docs/host-variables.md.
)";
}

bool parseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error) {
    bool sawEdf = false, sawReplay = false;
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
        static const char* const valueOptions[] = {
            "--edf", "--left", "--right", "--replay", "--seed", "--sample-rate", "--alpha-frequency",
            "--alpha-amplitude", "--eyes", "--blinks", "--rate", "--speed", "--duration", "--ticks", "--window",
            "--user", "--resrv", "--damping", "--stats-window", "--threshold-sd", "--threshold-period",
            "--threshold", "--artifact-limit", "--coherence-time", "--event-hold", "--record", "--library"};
        bool known = false;
        for (const char* option : valueOptions) known = known || name == option;
        if (!known) {
            error = (name.rfind("-", 0) == 0 ? "unknown option " : "unexpected argument ") + name;
            return false;
        }
        if (i + 1 >= arguments.size()) {
            error = name + " needs a value";
            return false;
        }
        const std::string& text = arguments[++i];
        double number = 0.0;
        // A number option: parses and checks the value's range.
        auto numberAt = [&](double low, double& target, bool lowInclusive = true) {
            if (!toNumber(text, number) || (lowInclusive ? number < low : number <= low)) {
                error = "bad value for " + name + ": " + text;
                return false;
            }
            target = number;
            return true;
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
        } else if (name == "--seed") {
            char* end = nullptr;
            errno = 0;
            unsigned long long seed = std::strtoull(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || errno || text[0] == '-') {
                error = "bad value for --seed: " + text;
                return false;
            }
            options.synthetic.seed = seed;
        } else if (name == "--sample-rate") {
            ok = numberAt(32.0, options.synthetic.sampleRate);
        } else if (name == "--alpha-frequency") {
            ok = numberAt(0.0, options.synthetic.alphaFrequency, false);
        } else if (name == "--alpha-amplitude") {
            ok = numberAt(0.0, options.synthetic.alphaClosedAmplitude);
        } else if (name == "--eyes") {
            auto comma = text.find(',');
            double open = 0.0, closed = 0.0;
            if (comma == std::string::npos || !toNumber(text.substr(0, comma), open) ||
                !toNumber(text.substr(comma + 1), closed) || open < 0.0 || closed < 0.0 || open + closed <= 0.0) {
                error = "bad value for --eyes (OPEN,CLOSED in seconds): " + text;
                return false;
            }
            options.synthetic.openSeconds = open;
            options.synthetic.closedSeconds = closed;
        } else if (name == "--blinks") {
            ok = numberAt(0.0, options.synthetic.blinksPerMinute);
        } else if (name == "--rate") {
            ok = numberAt(0.1, options.analysis.tickRate) && number <= 1000.0;
            if (!ok) error = "bad value for --rate (0.1 to 1000): " + text;
        } else if (name == "--speed") {
            // 0 runs without waiting; a tiny speed would wait for ages.
            ok = numberAt(0.0, options.speed) && (number == 0.0 || number >= 0.001);
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
        } else if (name == "--window") {
            ok = numberAt(0.25, options.analysis.windowSeconds) && number <= 60.0;
            if (!ok) error = "bad value for --window (0.25 to 60 seconds): " + text;
        } else if (name == "--user" || name == "--resrv") {
            BandRange& range = options.analysis.bands[name == "--user" ? User : Resrv];
            if (!toRange(text, range)) {
                error = "bad value for " + name + " (LOW-HIGH in Hz): " + text;
                return false;
            }
        } else if (name == "--damping") {
            ok = numberAt(0.0, options.analysis.dampingSeconds);
        } else if (name == "--stats-window") {
            ok = numberAt(0.0, options.analysis.statisticsSeconds, false);
        } else if (name == "--threshold-sd") {
            ok = numberAt(-100.0, options.analysis.thresholdDeviations);
        } else if (name == "--threshold-period") {
            ok = numberAt(0.0, options.analysis.thresholdPeriodSeconds, false);
        } else if (name == "--threshold") {
            auto equals = text.find('=');
            int band = equals == std::string::npos ? -1 : bandByName(text.substr(0, equals));
            double value = 0.0;
            if (band < 0 || !toNumber(text.substr(equals + 1), value) || value < -32768 || value > 32767) {
                error = "bad value for --threshold (BAND=VALUE, e.g. Alpha=150): " + text;
                return false;
            }
            options.analysis.fixedThreshold[band] = static_cast<int>(std::lround(value));
        } else if (name == "--artifact-limit") {
            ok = numberAt(0.0, options.analysis.artifactLimit, false);
        } else if (name == "--coherence-time") {
            ok = numberAt(0.0, options.analysis.coherenceSeconds);
        } else if (name == "--event-hold") {
            ok = numberAt(0.0, options.analysis.eventHoldSeconds);
        } else if (name == "--record") {
            options.recordPath = text;
        } else if (name == "--library") {
            options.libraryPath = text;
        }
        if (!ok) return false;
    }
    if (sawEdf && sawReplay) {
        error = "--edf and --replay cannot be used together";
        return false;
    }
    if (sawReplay && !options.recordPath.empty() && options.recordPath == options.replayPath) {
        error = "--record and --replay name the same file";
        return false;
    }
    options.source = sawEdf ? Options::Source::Edf : sawReplay ? Options::Source::Replay : Options::Source::Synthetic;
    return true;
}

}  // namespace eegsim
