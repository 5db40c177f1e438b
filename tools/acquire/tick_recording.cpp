#include "tools/acquire/tick_recording.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "common/file_open.h"

namespace eegsim {

std::string recordingHeader() {
    std::string header = "tick,seconds";
    for (const HostSlot& slot : hostSlots()) header += "," + slot.name;
    return header;
}

TickRecorder::~TickRecorder() { close(); }

bool TickRecorder::open(const std::string& path, std::string& error) {
    close();
    path_ = path;
    whole_ = 0;
    failed_ = false;
    error_.clear();
    // Binary: the same bytes (LF line ends) on every system.
    file_ = feltrix::openFile(path.c_str(), "wb");
    if (!file_) {
        error = "cannot create \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    if (append(recordingHeader() + "\n")) return true;
    error = error_;
    return false;
}

bool TickRecorder::append(const std::string& text) {
    if (!file_) return false;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) == text.size() && std::fflush(file_) == 0) {
        whole_ += text.size();
        return true;
    }
    const int why = errno;
    // Part of the row may have reached the file (and closing may write more
    // of it): close, then cut the file back to its whole rows.
    std::fclose(file_);
    file_ = nullptr;
    failed_ = true;
    std::error_code ignored;
    std::filesystem::resize_file(std::filesystem::u8path(path_), whole_, ignored);
    error_ = "cannot write to \"" + path_ + "\"" + (why != 0 ? std::string(": ") + std::strerror(why) : "");
    return false;
}

std::string recordingRow(uint64_t tick, double seconds, const HostFrame& frame) {
    std::string row = std::to_string(tick);
    char text[32];
    std::snprintf(text, sizeof text, ",%.6f", seconds);
    row += text;
    for (const HostSlot& slot : hostSlots()) {
        row += ',';
        row += std::to_string(slotValue(frame, slot));
    }
    row += '\n';
    return row;
}

bool TickRecorder::write(uint64_t tick, double seconds, const HostFrame& frame) {
    return append(recordingRow(tick, seconds, frame));
}

bool TickRecorder::close() {
    if (!file_) return !failed_;
    if (std::fclose(file_) != 0) {
        failed_ = true;
        error_ = "cannot write to \"" + path_ + "\"";
    }
    file_ = nullptr;
    return !failed_;
}

TickReplayer::~TickReplayer() {
    if (file_) std::fclose(file_);
}

bool TickReplayer::readLine(std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(file_)) != EOF) {
        if (c == '\n') break;
        if (c != '\r') line += static_cast<char>(c);
    }
    if (c == EOF && line.empty()) return false;
    ++lineNumber_;
    return true;
}

bool TickReplayer::open(const std::string& path, std::string& error) {
    path_ = path;
    // Binary: ftell/fseek positions are exact (in text mode on Windows they
    // are not for LF-only files); readLine drops CRs of CR LF files.
    file_ = feltrix::openFile(path.c_str(), "rb");
    if (!file_) {
        error = "cannot open \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    std::string header;
    if (!readLine(header) || header != recordingHeader()) {
        error = "\"" + path + "\" is not a recording of this program (its first line is not the expected header)";
        return false;
    }
    firstRow_ = std::ftell(file_);
    return true;
}

void TickReplayer::rewind() {
    std::fseek(file_, firstRow_, SEEK_SET);
    lineNumber_ = 1;
}

bool TickReplayer::next(uint64_t& tick, double& seconds, HostFrame& frame, std::string& error) {
    error.clear();
    std::string line;
    do {
        if (!readLine(line)) return false;
    } while (line.empty());
    auto fail = [&](const char* what) {
        error = "\"" + path_ + "\", line " + std::to_string(lineNumber_) + ": " + what;
        return false;
    };
    const char* p = line.c_str();
    char* end = nullptr;
    errno = 0;
    tick = std::strtoull(p, &end, 10);
    if (end == p || *end != ',' || errno) return fail("bad tick number");
    p = end + 1;
    seconds = std::strtod(p, &end);
    if (end == p || (*end != ',' && *end != '\0') || !(seconds >= 0.0)) return fail("bad time");
    for (const HostSlot& slot : hostSlots()) {
        if (*end != ',') return fail("too few values");
        p = end + 1;
        errno = 0;
        long value = std::strtol(p, &end, 10);
        if (end == p || errno || value < -32768 || value > 32767) return fail("a value is not a signed 16-bit number");
        setSlotValue(frame, slot, static_cast<int16_t>(value));
    }
    if (*end != '\0') return fail("too many values");
    return true;
}

}  // namespace eegsim
