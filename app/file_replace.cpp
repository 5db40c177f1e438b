// Replacing a file's content in one go, on top of the platform's temporary
// file, write and rename steps.
#include <cerrno>
#include <cstring>
#include <string>

#include "app/file_replace.h"

namespace feltrix {

bool replaceFileContent(const std::string& path, const char* data, size_t size, std::string* reason) {
    FileReplacement replacement;
    std::string error;
    if (!beginFileReplacement(path, replacement, error)) {
        if (reason != nullptr) *reason = error;
        return false;
    }
    if (!writeFileReplacement(replacement, data, size)) {
        if (reason != nullptr) *reason = std::strerror(errno);
        abandonFileReplacement(replacement);
        return false;
    }
    // errno still holds the failed step's reason (removing the temporary
    // file afterwards does not change it when it succeeds).
    if (!commitFileReplacement(replacement)) {
        if (reason != nullptr) *reason = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace feltrix
