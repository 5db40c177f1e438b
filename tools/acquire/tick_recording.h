#pragma once
// Recordings of a session: one CSV row per tick with every written host
// variable, after a header row "tick,seconds,<names in write order>".
#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/acquire/host_variables.h"

namespace eegsim {

// Each row reaches the file whole or not at all: when a write fails (a full
// disk), the file is cut back to its last whole row and closed, so what was
// recorded until then stays readable.
class TickRecorder {
public:
    TickRecorder() = default;
    ~TickRecorder();
    TickRecorder(const TickRecorder&) = delete;
    TickRecorder& operator=(const TickRecorder&) = delete;

    // Creates (or replaces) the file and writes the header row.
    bool open(const std::string& path, std::string& error);
    // Adds a row. False on a failed write, with error() saying why; the
    // recording has then ended (active() is false).
    bool write(uint64_t tick, double seconds, const HostFrame& frame);
    // Closes; false when something could not be written.
    bool close();

    bool active() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }

private:
    bool append(const std::string& text);

    std::FILE* file_ = nullptr;
    std::string path_;
    uint64_t whole_ = 0;  // bytes of whole rows (and the header) in the file
    bool failed_ = false;
    std::string error_;
};

class TickReplayer {
public:
    TickReplayer() = default;
    ~TickReplayer();
    TickReplayer(const TickReplayer&) = delete;
    TickReplayer& operator=(const TickReplayer&) = delete;

    // Opens a recording and checks its header row.
    bool open(const std::string& path, std::string& error);
    // Reads the next row. Returns false at the end of the file (error empty)
    // or on a malformed row (error says which line).
    bool next(uint64_t& tick, double& seconds, HostFrame& frame, std::string& error);
    // Back to the first row.
    void rewind();
    // Line of the file that next() read last (the header is line 1).
    uint64_t lineNumber() const { return lineNumber_; }

private:
    bool readLine(std::string& line);

    std::FILE* file_ = nullptr;
    std::string path_;
    long firstRow_ = 0;
    uint64_t lineNumber_ = 0;
};

// The header row (without line break).
std::string recordingHeader();
// One row, with its line break.
std::string recordingRow(uint64_t tick, double seconds, const HostFrame& frame);

}  // namespace eegsim
