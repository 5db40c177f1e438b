#include "tools/acquire/monitor_recording.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/file_open.h"
#include "tools/acquire/tick_recording.h"

namespace eegsim::monitor {

ChangeRecorder::~ChangeRecorder() {
    if (file_) std::fclose(file_);
}

bool ChangeRecorder::open(const std::string& path, std::string& error) {
    path_ = path;
    // Binary: the same bytes (LF line ends) on every system.
    file_ = feltrix::openFile(path.c_str(), "wb");
    if (!file_) {
        error = "cannot create \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    return append(recordingHeader() + "\n", error);
}

bool ChangeRecorder::append(const std::string& text, std::string& error) {
    if (!file_) return false;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) == text.size() && std::fflush(file_) == 0) {
        whole_ += text.size();
        return true;
    }
    const int why = errno;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", lastSeconds_);
    // Part of the row may have reached the file (and closing may write more
    // of it): close, then cut the file back to its whole rows.
    std::fclose(file_);
    file_ = nullptr;
    std::error_code ignored;
    std::filesystem::resize_file(std::filesystem::u8path(path_), whole_, ignored);
    error = "cannot write to \"" + path_ + "\"" + (why != 0 ? std::string(": ") + std::strerror(why) : "") +
            "; the recording stops here and keeps its " + std::to_string(rows_) + " rows (" + seconds + " s)";
    return false;
}

bool ChangeRecorder::write(double seconds, const HostFrame& frame, std::string& error) {
    if (!append(recordingRow(rows_, seconds, frame), error)) return false;
    ++rows_;
    lastSeconds_ = seconds;
    last_ = frame;
    return true;
}

bool ChangeRecorder::finish(double seconds, std::string& error) {
    if (!file_) return true;
    if (rows_ > 0 && seconds > lastSeconds_ + 1e-6 && !write(seconds, last_, error)) return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) error = "cannot write to \"" + path_ + "\"";
    return closed;
}

}  // namespace eegsim::monitor
