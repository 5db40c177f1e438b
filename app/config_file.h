#pragma once
// Configuration files: a Lua chunk whose first line starts with a fixed
// header comment. The script composes the body; the program checks the
// header on loading and writes the file so that a failed save never costs the
// user the file they had.
#include <cstddef>
#include <string>

namespace feltrix {

constexpr const char kConfigHeader[] = "-- Feltrix configuration file";

enum class ConfigHeaderCheck {
    Valid,
    Unreadable,  // the file cannot be opened for reading
    Invalid,     // empty, too short, different letters or case, a byte-order mark
};

// Reads at most the header's length from the start of the file, stopping
// after a line break, and compares it with the header.
ConfigHeaderCheck checkConfigHeader(const std::string& path);

// Replaces the file at `path` with `content` only once the new content is
// completely on disk (temporary file in the same folder, flushed, then renamed
// over the old one). On failure the old file is left as it was and false is
// returned.
bool replaceFileContent(const std::string& path, const char* data, size_t size);

}  // namespace feltrix
