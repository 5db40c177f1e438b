#pragma once
// The monitor's output for logs and pipes: once a second, a line per shown
// variable that changed since the last such print ("12.0 leftAlphaValue 231";
// all of them the first time), and lines saying what the writer does
// ("12.0 -- values have not changed for 2 s (has the writer ended?)").
#include <cstdio>
#include <string>

#include "tools/acquire/monitor_selection.h"
#include "tools/acquire/monitor_session.h"

namespace eegsim::monitor {

// Alarm states are repeated this often while they last.
constexpr double kStateRepeatSeconds = 30.0;

class PlainOutput : public MonitorOutput {
public:
    PlainOutput(const Selection& selection, std::FILE* out) : selection_(selection), out_(out) {}
    void refresh(const ChangeTracker& tracker, double now) override;
    void notice(const std::string& text, double elapsed) override;

private:
    void line(double seconds, const std::string& text);

    const Selection& selection_;
    std::FILE* out_;
    long printedSecond_ = -1;  // the last whole second printed (none yet)
    bool printedValues_ = false;
    HostVariableSnapshot printed_{};
    bool stateShown_ = false;
    WriterState shownState_ = WriterState::Changing;
    double stateShownAt_ = 0.0;
};

}  // namespace eegsim::monitor
