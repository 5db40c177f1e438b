#include "tools/acquire/osc_map.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "tools/acquire/host_variables.h"
#include "tools/acquire/signal_options.h"

namespace eegsim {
namespace {

bool sameText(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return i == a.size() && !b[i];
}

int bandNamed(const std::string& name) {
    for (int band = 0; band < kBands; ++band) {
        if (sameText(name, bandName(band))) return band;
    }
    return -1;
}

// One line's words after ADDRESS POSITION KIND; the options come last.
bool parseRule(std::istringstream& words, OscRule& rule, std::string& error) {
    std::string word;
    std::vector<std::string> plain;
    while (words >> word) {
        const auto equals = word.find('=');
        double number = 0.0;
        if (equals == std::string::npos) {
            plain.push_back(word);
        } else if (word.compare(0, equals, "scale") == 0 && parseNumber(word.substr(equals + 1), number) &&
                   number != 0.0) {
            rule.scale = number;
        } else if (word.compare(0, equals, "args") == 0 && parseNumber(word.substr(equals + 1), number) &&
                   number >= 0.0 && number <= 1000.0 && number == std::floor(number)) {
            rule.arguments = static_cast<int>(number);
        } else {
            error = "bad option " + word;
            return false;
        }
    }
    using Kind = OscRule::Kind;
    const std::size_t needed = rule.kind == Kind::Band ? 3 : (rule.kind == Kind::Sample || rule.kind == Kind::Fit) ? 1 : 0;
    if (plain.size() != needed) {
        error = "expected " + std::to_string(needed) + " words after the kind, found " + std::to_string(plain.size());
        return false;
    }
    if (rule.kind == Kind::Sample || rule.kind == Kind::Fit) rule.sensor = plain[0];
    if (rule.kind == Kind::Band) {
        rule.band = bandNamed(plain[0]);
        if (rule.band < 0) {
            error = "unknown band " + plain[0];
            return false;
        }
        rule.sensor = plain[1] == "all" ? "" : plain[1];
        if (plain[2] == "amplitude") {
            rule.conversion = OscRule::Conversion::Amplitude;
        } else if (plain[2] == "power") {
            rule.conversion = OscRule::Conversion::Power;
        } else if (plain[2] == "bels") {
            rule.conversion = OscRule::Conversion::Bels;
        } else {
            error = "unknown conversion " + plain[2] + " (amplitude, power or bels)";
            return false;
        }
    }
    return true;
}

}  // namespace

bool parseOscMap(const std::string& text, const std::string& origin, OscMap& map, std::string& error) {
    map.name = origin;
    map.rules.clear();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        OscRule rule;
        std::string position, kind;
        if (!(words >> rule.address)) continue;
        auto fail = [&](const std::string& what) {
            error = origin + ", line " + std::to_string(number) + ": " + what;
            return false;
        };
        if (rule.address[0] != '/') return fail("an address starts with /: " + rule.address);
        if (!(words >> position)) return fail("no argument position");
        if (position == "ignore") {
            if (words >> kind) return fail("nothing may follow ignore");
            map.rules.push_back(rule);
            continue;
        }
        double at = 0.0;
        if (!parseNumber(position, at) || at < 1.0 || at > 1000.0 || at != std::floor(at))
            return fail("bad argument position " + position + " (1 is the first)");
        rule.position = static_cast<std::size_t>(at) - 1;
        if (!(words >> kind)) return fail("no kind (sample, band, artifact, fit or ignore)");
        if (kind == "sample") {
            rule.kind = OscRule::Kind::Sample;
        } else if (kind == "band") {
            rule.kind = OscRule::Kind::Band;
        } else if (kind == "artifact") {
            rule.kind = OscRule::Kind::Artifact;
        } else if (kind == "fit") {
            rule.kind = OscRule::Kind::Fit;
        } else {
            return fail("unknown kind " + kind + " (sample, band, artifact, fit or ignore)");
        }
        std::string problem;
        if (!parseRule(words, rule, problem)) return fail(problem);
        map.rules.push_back(rule);
    }
    if (map.rules.empty()) {
        error = origin + " holds no rules";
        return false;
    }
    return true;
}

bool loadOscMap(const std::string& path, OscMap& map, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open the OSC mapping file \"" + path + "\"";
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parseOscMap(text.str(), path, map, error);
}

const OscMap& museOscMap() {
    static const OscMap map = [] {
        // Raw EEG in µV: TP9, AF7, AF8, TP10, then the AUX inputs.
        std::string text =
            "/muse/eeg 1 sample TP9\n/muse/eeg 2 sample AF7\n/muse/eeg 3 sample AF8\n/muse/eeg 4 sample TP10\n"
            "/muse/eeg 5 sample AUX\n/muse/eeg 6 sample AUX2\n";
        // Band powers in bels: one average, or one value per sensor.
        const char* const museBands[][2] = {
            {"delta", "Delta"}, {"theta", "Theta"}, {"alpha", "Alpha"}, {"beta", "Beta"}, {"gamma", "Gamma"}};
        const char* const sensors[] = {"TP9", "AF7", "AF8", "TP10"};
        for (const auto& band : museBands) {
            const std::string address = std::string("/muse/elements/") + band[0] + "_absolute ";
            text += address + "1 band " + band[1] + " all bels args=1\n";
            for (int i = 0; i < 4; ++i)
                text += address + std::to_string(i + 1) + " band " + band[1] + " " + sensors[i] + " bels args=4\n";
        }
        text += "/muse/elements/blink 1 artifact\n/muse/elements/jaw_clench 1 artifact\n";
        for (int i = 0; i < 4; ++i)
            text += "/muse/elements/horseshoe " + std::to_string(i + 1) + " fit " + sensors[i] + "\n";
        // What Mind Monitor and MuseIO send besides, which the measures do not use.
        for (const char* unused :
             {"/muse/acc", "/muse/gyro", "/muse/ppg", "/muse/batt", "/muse/drlref", "/muse/config", "/muse/version",
              "/muse/annotation", "/muse/eeg/*", "/muse/elements/*_relative", "/muse/elements/*_session_score",
              "/muse/elements/touching_forehead", "/muse/elements/is_good", "/muse/elements/experimental/*",
              "/muse/elements/raw_fft*", "/muse/elements/low_freqs_absolute", "/Marker/*"})
            text += std::string(unused) + " ignore\n";
        OscMap parsed;
        std::string error;
        parseOscMap(text, "Muse", parsed, error);
        return parsed;
    }();
    return map;
}

bool addressMatches(const char* pattern, const char* address) {
    // Iterative wildcard match: on a mismatch, let the last '*' take one
    // more character.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*address) {
        if (*pattern == '*') {
            star = pattern++;
            resume = address;
        } else if (*pattern == *address) {
            ++pattern;
            ++address;
        } else if (star) {
            pattern = star + 1;
            address = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

double bandRuleValue(const OscRule& rule, double number) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    switch (rule.conversion) {
    case OscRule::Conversion::Amplitude: return number >= 0.0 ? number * rule.scale : nan;
    case OscRule::Conversion::Power: return number >= 0.0 ? std::sqrt(number) * rule.scale : nan;
    case OscRule::Conversion::Bels: return std::sqrt(std::pow(10.0, number)) * rule.scale;
    }
    return nan;
}

}  // namespace eegsim
