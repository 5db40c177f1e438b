#include "tools/acquire/monitor_view.h"

#include <algorithm>
#include <cstdio>

namespace eegsim::monitor {
namespace {

constexpr int kCellWidth = 7;  // "-32768" and a space

std::string padRight(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}
std::string padLeft(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

// A grid: column keys by row keys, each cell one variable (or none).
struct Grid {
    std::string corner;                // above the labels, beside the column headers ("event")
    std::vector<std::string> groups;   // per column: the group name above it ("left"), shown where it changes
    std::vector<std::string> headers;  // per column: "Alpha", "3"
    std::vector<std::string> labels;   // per row: "Value", "ValA"
    std::vector<std::vector<int>> cells;  // [row][column]: variable number or -1
};

class ViewBuilder {
public:
    ViewBuilder(const ChangeTracker& tracker, double now, int columns)
        : tracker_(tracker), now_(now), columns_(std::max(columns, 20)) {}

    void line(ScreenLine line) { lines_.push_back(std::move(line)); }

    void grid(const Grid& grid) {
        if (grid.headers.empty() || grid.labels.empty()) return;
        std::size_t longest = 0;
        for (const auto& label : grid.labels) longest = std::max(longest, label.size());
        // Whole labels where the window is wide enough for the columns (nine
        // at most in a block) beside them; shortened otherwise.
        const int fitting = columns_ - 1 - static_cast<int>(std::min<std::size_t>(9, grid.headers.size())) * kCellWidth;
        const std::size_t labelWidth = std::min(longest + 2, static_cast<std::size_t>(std::max(8, fitting)));
        const std::size_t perBlock =
            std::max<std::size_t>(1, (static_cast<std::size_t>(columns_ - 1) - labelWidth) / kCellWidth);
        for (std::size_t first = 0; first < grid.headers.size();) {
            const std::size_t last = blockEnd(grid, first, perBlock);
            std::string groups = std::string(labelWidth, ' '), headers = padRight(grid.corner, labelWidth);
            bool anyGroup = false;
            for (std::size_t c = first; c < last; ++c) {
                const bool newGroup = c == first || grid.groups[c] != grid.groups[c - 1];
                groups += padLeft(newGroup ? grid.groups[c] : "", kCellWidth);
                headers += padLeft(grid.headers[c], kCellWidth);
                anyGroup = anyGroup || !grid.groups[c].empty();
            }
            if (anyGroup) line({{groups}});
            line({{headers}});
            for (std::size_t r = 0; r < grid.labels.size(); ++r) {
                std::string label = grid.labels[r];
                if (label.size() + 1 > labelWidth) label = label.substr(0, labelWidth - 2) + "~";
                ScreenLine row{{padRight(label, labelWidth)}};
                for (std::size_t c = first; c < last; ++c) addCell(row, grid.cells[r][c]);
                line(std::move(row));
            }
            first = last;
        }
    }

    // The columns of the block from `first`: whole groups while they fit,
    // a group too wide for any block split.
    static std::size_t blockEnd(const Grid& grid, std::size_t first, std::size_t perBlock) {
        std::size_t end = first;
        while (end < grid.headers.size() && end - first < perBlock) {
            std::size_t groupEnd = end + 1;
            while (groupEnd < grid.headers.size() && grid.groups[groupEnd] == grid.groups[end]) ++groupEnd;
            if (groupEnd - first > perBlock) return end > first ? end : first + perBlock;
            end = groupEnd;
        }
        return end;
    }

    // A value: right-aligned after a plain space (so neighbours stay apart
    // when both are highlighted), highlighted for a while after a change.
    void addCell(ScreenLine& row, int variable) const {
        if (variable < 0) {
            row.push_back({std::string(kCellWidth, ' ')});
            return;
        }
        const auto index = static_cast<std::size_t>(variable);
        row.push_back({" "});
        row.push_back({padLeft(valueText(tracker_.values(), variables()[index]), kCellWidth - 1),
                       now_ - tracker_.changedAt(index) < kHighlightSeconds});
    }

    std::vector<ScreenLine>& lines() { return lines_; }

private:
    const ChangeTracker& tracker_;
    double now_;
    int columns_;
    std::vector<ScreenLine> lines_;
};

// Band measures: a column per side and band, a row per measure.
Grid bandGrid(const Selection& selection) {
    std::vector<std::vector<int>> numbers(kSides * kBands, std::vector<int>(kMeasures, -1));
    std::vector<bool> columnUsed(kSides * kBands), rowUsed(kMeasures);
    for (std::size_t i = 0; i < kVariableCount; ++i) {
        const Variable& v = variables()[i];
        if (v.kind != Variable::BandMeasure || !selection[i]) continue;
        numbers[v.side * kBands + v.band][v.measure] = static_cast<int>(i);
        columnUsed[v.side * kBands + v.band] = rowUsed[v.measure] = true;
    }
    Grid grid;
    std::vector<int> columns;
    for (int c = 0; c < kSides * kBands; ++c) {
        if (!columnUsed[c]) continue;
        columns.push_back(c);
        grid.groups.push_back(sideName(c / kBands));
        grid.headers.push_back(bandName(c % kBands));
    }
    for (int m = 0; m < kMeasures; ++m) {
        if (!rowUsed[m]) continue;
        grid.labels.push_back(measureName(m));
        std::vector<int> row;
        for (int c : columns) row.push_back(numbers[c][m]);
        grid.cells.push_back(row);
    }
    return grid;
}

// Events: a column per event, a row per part.
Grid eventGrid(const Selection& selection) {
    std::vector<std::vector<int>> numbers(kEvents, std::vector<int>(3, -1));
    std::vector<bool> columnUsed(kEvents), rowUsed(3);
    for (std::size_t i = 0; i < kVariableCount; ++i) {
        const Variable& v = variables()[i];
        if (v.kind != Variable::Event || !selection[i]) continue;
        numbers[v.event - 1][v.part] = static_cast<int>(i);
        columnUsed[v.event - 1] = rowUsed[v.part] = true;
    }
    Grid grid;
    grid.corner = "event";
    std::vector<int> columns;
    for (int e = 0; e < kEvents; ++e) {
        if (!columnUsed[e]) continue;
        columns.push_back(e);
        grid.groups.push_back("");
        grid.headers.push_back(std::to_string(e + 1));
    }
    for (int p = 0; p < 3; ++p) {
        if (!rowUsed[p]) continue;
        grid.labels.push_back(kEventPartNames[p]);
        std::vector<int> row;
        for (int e : columns) row.push_back(numbers[e][p]);
        grid.cells.push_back(row);
    }
    return grid;
}

}  // namespace

std::vector<ScreenLine> buildView(const ChangeTracker& tracker, const Selection& selection, double now,
                                  const ViewText& text, int columns, int rows) {
    ViewBuilder view(tracker, now, columns);
    view.line({{text.title}});
    const WriterState state = tracker.state(now);
    ScreenLine status{{describeState(state, tracker.stillFor(now)), state != WriterState::Changing}};
    if (!text.recording.empty()) status.push_back({"   " + text.recording});
    view.line(status);
    if (!text.notice.empty()) view.line({{text.notice, true}});
    view.grid(bandGrid(selection));
    for (std::size_t i = 0; i < kVariableCount; ++i) {
        if (variables()[i].kind == Variable::Artifact && selection[i]) {
            ScreenLine line{{"artifact"}};
            view.addCell(line, static_cast<int>(i));
            view.line(line);
        }
    }
    view.grid(eventGrid(selection));

    // Fit the window: cut long lines, and say what does not fit below.
    std::vector<ScreenLine>& lines = view.lines();
    const std::size_t width = static_cast<std::size_t>(std::max(columns, 20) - 1);
    for (ScreenLine& line : lines) {
        std::size_t used = 0;
        for (Segment& segment : line) {
            segment.text = segment.text.substr(0, width - std::min(width, used));
            used += segment.text.size();
        }
    }
    const std::size_t limit = static_cast<std::size_t>(std::max(rows, 3));
    if (lines.size() > limit) {
        const std::size_t hidden = lines.size() - (limit - 1);
        lines.resize(limit - 1);
        lines.push_back({{("(" + std::to_string(hidden) + " more lines: a taller window or --only shows them)")
                              .substr(0, width)}});
    }
    return lines;
}

}  // namespace eegsim::monitor
