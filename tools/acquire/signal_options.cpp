#include "tools/acquire/signal_options.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace eegsim {
namespace {

bool toRange(const std::string& text, BandRange& range) {
    auto dash = text.find('-', 1);
    if (dash == std::string::npos) return false;
    return parseNumber(text.substr(0, dash), range.low) && parseNumber(text.substr(dash + 1), range.high) &&
           range.low >= 0.0 && range.high > range.low;
}

bool sameLetters(const std::string& text, const char* name) {
    std::size_t i = 0;
    for (; i < text.size() && name[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    }
    return i == text.size() && name[i] == '\0';
}

int bandByName(const std::string& name) {
    for (int band = 0; band < kBands; ++band) {
        if (sameLetters(name, bandName(band))) return band;
    }
    return -1;
}

constexpr const char* kSignalOptions[] = {
    "--seed", "--sample-rate", "--alpha-frequency", "--alpha-amplitude", "--eyes", "--blinks", "--window",
    "--user", "--resrv", "--damping", "--stats-window", "--threshold-sd", "--threshold-period", "--threshold",
    "--artifact-limit", "--coherence-time", "--event-hold"};

}  // namespace

bool parseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    // No option takes a number this large; beyond it, counts of samples and
    // ticks derived from the value would not fit their integers.
    return *end == '\0' && errno == 0 && std::fabs(value) <= 1e9;
}

bool parseNumberOption(const std::string& name, const std::string& text, double low, bool lowInclusive,
                       double& target, std::string& error) {
    double number = 0.0;
    if (!parseNumber(text, number) || (lowInclusive ? number < low : number <= low)) {
        error = "bad value for " + name + ": " + text;
        return false;
    }
    target = number;
    return true;
}

bool takeOptionValue(const std::vector<std::string>& arguments, std::size_t& i, bool known, std::string& error) {
    const std::string& name = arguments[i];
    if (!known) {
        error = (name.rfind("-", 0) == 0 ? "unknown option " : "unexpected argument ") + name;
        return false;
    }
    if (i + 1 >= arguments.size()) {
        error = name + " needs a value";
        return false;
    }
    ++i;
    return true;
}

std::string syntheticOptionsUsage() {
    return R"(Synthetic EEG:
  --seed N                 random seed (default 1); the same seed gives the same session
  --sample-rate HZ         samples per second (default 256)
  --alpha-frequency HZ     alpha rhythm (default 10)
  --alpha-amplitude UV     alpha peak amplitude with eyes closed (default 30)
  --eyes OPEN,CLOSED       eyes-open and eyes-closed block lengths in seconds (default 10,20)
  --blinks N               blinks per minute while the eyes are open (default 8, 0 = none)
)";
}

std::string measureOptionsUsage() {
    return R"(Measures:
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
)";
}

bool isSignalOption(const std::string& name) {
    for (const char* option : kSignalOptions) {
        if (name == option) return true;
    }
    return false;
}

SignalOptionParse parseSignalOption(const std::string& name, const std::string& text, SyntheticConfig& synthetic,
                                    AnalysisConfig& analysis, std::string& error) {
    if (!isSignalOption(name)) return SignalOptionParse::NotSignalOption;
    auto numberAt = [&](double low, double& target, bool lowInclusive = true) {
        return parseNumberOption(name, text, low, lowInclusive, target, error);
    };
    bool ok = true;
    if (name == "--seed") {
        char* end = nullptr;
        errno = 0;
        unsigned long long seed = std::strtoull(text.c_str(), &end, 10);
        ok = !text.empty() && *end == '\0' && errno == 0 && text[0] != '-';
        if (ok) synthetic.seed = seed;
        if (!ok) error = "bad value for --seed: " + text;
    } else if (name == "--sample-rate") {
        ok = numberAt(32.0, synthetic.sampleRate);
    } else if (name == "--alpha-frequency") {
        ok = numberAt(0.0, synthetic.alphaFrequency, false);
    } else if (name == "--alpha-amplitude") {
        ok = numberAt(0.0, synthetic.alphaClosedAmplitude);
    } else if (name == "--eyes") {
        auto comma = text.find(',');
        double open = 0.0, closed = 0.0;
        ok = comma != std::string::npos && parseNumber(text.substr(0, comma), open) &&
             parseNumber(text.substr(comma + 1), closed) && open >= 0.0 && closed >= 0.0 && open + closed > 0.0;
        if (ok) {
            synthetic.openSeconds = open;
            synthetic.closedSeconds = closed;
        } else {
            error = "bad value for --eyes (OPEN,CLOSED in seconds): " + text;
        }
    } else if (name == "--blinks") {
        ok = numberAt(0.0, synthetic.blinksPerMinute);
    } else if (name == "--window") {
        ok = numberAt(0.25, analysis.windowSeconds) && analysis.windowSeconds <= 60.0;
        if (!ok) error = "bad value for --window (0.25 to 60 seconds): " + text;
    } else if (name == "--user" || name == "--resrv") {
        ok = toRange(text, analysis.bands[name == "--user" ? User : Resrv]);
        if (!ok) error = "bad value for " + name + " (LOW-HIGH in Hz): " + text;
    } else if (name == "--damping") {
        ok = numberAt(0.0, analysis.dampingSeconds);
    } else if (name == "--stats-window") {
        ok = numberAt(0.0, analysis.statisticsSeconds, false);
    } else if (name == "--threshold-sd") {
        ok = numberAt(-100.0, analysis.thresholdDeviations);
    } else if (name == "--threshold-period") {
        ok = numberAt(0.0, analysis.thresholdPeriodSeconds, false);
    } else if (name == "--threshold") {
        auto equals = text.find('=');
        int band = equals == std::string::npos ? -1 : bandByName(text.substr(0, equals));
        double value = 0.0;
        ok = band >= 0 && parseNumber(text.substr(equals + 1), value) && value >= -32768 && value <= 32767;
        if (ok) analysis.fixedThreshold[band] = static_cast<int>(std::lround(value));
        if (!ok) error = "bad value for --threshold (BAND=VALUE, e.g. Alpha=150): " + text;
    } else if (name == "--artifact-limit") {
        ok = numberAt(0.0, analysis.artifactLimit, false);
    } else if (name == "--coherence-time") {
        ok = numberAt(0.0, analysis.coherenceSeconds);
    } else if (name == "--event-hold") {
        ok = numberAt(0.0, analysis.eventHoldSeconds);
    }
    return ok ? SignalOptionParse::Accepted : SignalOptionParse::Rejected;
}

}  // namespace eegsim
