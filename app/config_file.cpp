#include "app/config_file.h"

#include <cstdio>
#include <cstring>

#include "common/file_open.h"

namespace feltrix {

ConfigHeaderCheck checkConfigHeader(const std::string& path) {
    // Not a regular file: unreadable as a configuration, and a FIFO would block.
    std::FILE* file = openRegularFile(path.c_str(), "r");
    if (file == nullptr) return ConfigHeaderCheck::Unreadable;
    constexpr size_t headerLength = sizeof kConfigHeader - 1;
    char start[headerLength + 1] = {};
    // fgets stops after a line break, so a short first line reads short.
    const bool got = std::fgets(start, sizeof start, file) != nullptr;
    std::fclose(file);
    if (!got || std::strlen(start) != headerLength) return ConfigHeaderCheck::Invalid;
    return std::memcmp(start, kConfigHeader, headerLength) == 0 ? ConfigHeaderCheck::Valid
                                                                 : ConfigHeaderCheck::Invalid;
}

}  // namespace feltrix
