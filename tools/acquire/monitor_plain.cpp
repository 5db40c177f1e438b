#include "tools/acquire/monitor_plain.h"

#include <cmath>

namespace eegsim::monitor {

void PlainOutput::line(double seconds, const std::string& text) {
    std::fprintf(out_, "%.1f %s\n", seconds, text.c_str());
}

void PlainOutput::notice(const std::string& text, double elapsed) {
    // Problems are said at once, not at the next whole second.
    line(elapsed, "-- " + text);
    std::fflush(out_);
}

void PlainOutput::refresh(const ChangeTracker& tracker, double now) {
    const double elapsed = now - tracker.start();
    const long second = static_cast<long>(std::floor(elapsed));
    if (second <= printedSecond_) return;
    printedSecond_ = second;
    const double at = static_cast<double>(second);

    const WriterState state = tracker.state(now);
    const bool alarm = state == WriterState::NoWriter || state == WriterState::Still;
    if (state != WriterState::Waiting &&
        (!stateShown_ || state != shownState_ || (alarm && now - stateShownAt_ >= kStateRepeatSeconds))) {
        line(at, "-- " + describeState(state, tracker.stillFor(now)));
        stateShown_ = true;
        shownState_ = state;
        stateShownAt_ = now;
    }
    const HostVariableSnapshot& values = tracker.values();
    for (std::size_t i = 0; i < kVariableCount; ++i) {
        const Variable& variable = variables()[i];
        if (!selection_[i] || (printedValues_ && rawValue(values, variable) == rawValue(printed_, variable)))
            continue;
        line(at, variable.name + " " + valueText(values, variable));
    }
    printedValues_ = true;
    printed_ = values;
    std::fflush(out_);
}

}  // namespace eegsim::monitor
