#pragma once
// The live view of the monitor as lines of text, some parts highlighted,
// fitted to a window of a given size. The console files draw them.
#include <string>
#include <vector>

#include "tools/acquire/monitor_selection.h"
#include "tools/acquire/monitor_tracker.h"

namespace eegsim::monitor {

struct Segment {
    std::string text;
    bool highlighted = false;
};
using ScreenLine = std::vector<Segment>;

// A value stays highlighted this long after it changed.
constexpr double kHighlightSeconds = 1.0;

struct ViewText {
    std::string title;   // first line
    std::string notice;  // a problem to show (empty: none), e.g. a failed recording
    std::string recording;  // e.g. "recording s.csv: 120 rows" (empty: not recording)
};

// Band measures in blocks of columns (side and band) by rows (measure), then
// artifact, then the events (columns) by ValA, ValB, Flag (rows): only what
// `selection` holds. At most `rows` lines, none longer than columns - 1.
std::vector<ScreenLine> buildView(const ChangeTracker& tracker, const Selection& selection, double now,
                                  const ViewText& text, int columns, int rows);

}  // namespace eegsim::monitor
