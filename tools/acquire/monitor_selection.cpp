#include "tools/acquire/monitor_selection.h"

#include <algorithm>
#include <cctype>

#include "tools/acquire/monitor_values.h"

namespace eegsim::monitor {
namespace {

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The position of `word` among `count` names, or -1.
int find(const std::string& word, int count, const char* (*name)(int)) {
    for (int i = 0; i < count; ++i)
        if (lower(name(i)) == word) return i;
    return -1;
}

// "7" -> 7 for the events 1 to 16; 0 otherwise.
int eventNumber(const std::string& text) {
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), ::isdigit)) return 0;
    const int number = std::stoi(text);
    return number >= 1 && number <= kEvents ? number : 0;
}

}  // namespace

Selection everything() { return Selection(kVariableCount, true); }

bool parseSelection(const std::string& text, Selection& selection, std::string& error) {
    std::vector<bool> sides(kSides), bands(kBands), measures(kMeasures);
    bool anySide = false, anyBand = false, anyMeasure = false, artifact = false, events = false;
    Selection named(kVariableCount, false);
    std::size_t start = 0, count = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        const std::string word = lower(text.substr(start, comma - start));
        start = comma + 1;
        if (word.empty()) continue;
        ++count;
        int found;
        if ((found = find(word, kSides, sideName)) >= 0) {
            sides[found] = anySide = true;
        } else if ((found = find(word, kBands, bandName)) >= 0) {
            bands[found] = anyBand = true;
        } else if ((found = find(word, kMeasures, measureName)) >= 0) {
            measures[found] = anyMeasure = true;
        } else if (word == "artifact") {
            artifact = true;
        } else if (word == "events" || word == "event") {
            events = true;
        } else if (word.rfind("event", 0) == 0 && eventNumber(word.substr(5)) > 0) {
            const int event = eventNumber(word.substr(5));
            for (std::size_t i = 0; i < kVariableCount; ++i)
                if (variables()[i].kind == Variable::Event && variables()[i].event == event) named[i] = true;
        } else {
            const auto& list = variables();
            auto it = std::find_if(list.begin(), list.end(), [&](const Variable& v) { return lower(v.name) == word; });
            if (it == list.end()) {
                error = "--only: unknown word \"" + word +
                        "\" (use left, right, band names such as alpha, measure names such as value, artifact, "
                        "events, event3, or whole variable names such as leftAlphaValue)";
                return false;
            }
            named[static_cast<std::size_t>(it - list.begin())] = true;
        }
    }
    if (count == 0) {
        error = "--only needs a list of words, such as alpha,theta";
        return false;
    }
    const bool anyBandWord = anySide || anyBand || anyMeasure;
    selection.assign(kVariableCount, false);
    for (std::size_t i = 0; i < kVariableCount; ++i) {
        const Variable& v = variables()[i];
        bool shown = named[i];
        if (v.kind == Variable::BandMeasure)
            shown = shown || (anyBandWord && (!anySide || sides[v.side]) && (!anyBand || bands[v.band]) &&
                              (!anyMeasure || measures[v.measure]));
        else if (v.kind == Variable::Artifact)
            shown = shown || artifact;
        else
            shown = shown || events;
        selection[i] = shown;
    }
    return true;
}

}  // namespace eegsim::monitor
