#pragma once
// Configuration files: a Lua chunk whose first line starts with a fixed
// header comment. The script composes the body; the program checks the
// header on loading and writes the file so that a failed save never costs the
// user the file they had.
#include <cstddef>
#include <string>

#include "app/file_replace.h"

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

}  // namespace feltrix
