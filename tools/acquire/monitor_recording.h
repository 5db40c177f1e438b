#pragma once
// The monitor's recording: the companion's CSV format (tick_recording.h), a
// row each time the values change. Each row reaches the file whole or not at
// all: when a write fails (a full disk), the file is cut back to its last
// whole row and closed, so what was recorded until then stays readable.
#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/acquire/host_variables.h"

namespace eegsim::monitor {

class ChangeRecorder {
public:
    ChangeRecorder() = default;
    ~ChangeRecorder();
    ChangeRecorder(const ChangeRecorder&) = delete;
    ChangeRecorder& operator=(const ChangeRecorder&) = delete;

    // Creates (or replaces) the file with its header row.
    bool open(const std::string& path, std::string& error);
    // Adds a row. False on a failed write, with `error` saying so; the
    // recording has then ended (active() is false).
    bool write(double seconds, const HostFrame& frame, std::string& error);
    // Adds a last row with the current values at `seconds` (so the recording
    // lasts as long as the watching did), then closes the file.
    bool finish(double seconds, std::string& error);

    bool active() const { return file_ != nullptr; }
    std::uint64_t rows() const { return rows_; }
    const std::string& path() const { return path_; }

private:
    bool append(const std::string& text, std::string& error);

    std::FILE* file_ = nullptr;
    std::string path_;
    std::uint64_t rows_ = 0;
    std::uint64_t whole_ = 0;  // bytes of whole rows (and the header) in the file
    double lastSeconds_ = 0.0;
    HostFrame last_;
};

}  // namespace eegsim::monitor
