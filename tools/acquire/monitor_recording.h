#pragma once
// The monitor's recording: the companion's recording (tick_recording.h), a
// row each time the values change, and a last row when the watching ends.
#include <cstdint>
#include <string>

#include "tools/acquire/host_variables.h"
#include "tools/acquire/tick_recording.h"

namespace eegsim::monitor {

class ChangeRecorder {
public:
    // Creates (or replaces) the file with its header row.
    bool open(const std::string& path, std::string& error);
    // Adds a row. False on a failed write, with `error` saying so; the
    // recording has then ended (active() is false).
    bool write(double seconds, const HostFrame& frame, std::string& error);
    // Adds a last row with the current values at `seconds` (so the recording
    // lasts as long as the watching did), then closes the file.
    bool finish(double seconds, std::string& error);

    bool active() const { return recorder_.active(); }
    std::uint64_t rows() const { return rows_; }
    const std::string& path() const { return recorder_.path(); }

private:
    TickRecorder recorder_;
    std::uint64_t rows_ = 0;
    double lastSeconds_ = 0.0;
    HostFrame last_;
};

}  // namespace eegsim::monitor
