#pragma once
// Writing a file under a temporary name in its folder and renaming it over
// the final name only once it is complete, so that a failed or interrupted
// write never leaves a partial file under that name (nor costs the file that
// was there before).
#include <cstddef>
#include <string>

namespace feltrix {

struct FileReplacement {
    std::string path;           // the final name
    std::string temporaryPath;  // where the content is written meanwhile
    int descriptor = -1;        // open for writing and seeking; -1 once closed
};

// Creates the temporary file beside `path`. On failure returns false with
// the system's reason in `error`.
bool beginFileReplacement(const std::string& path, FileReplacement& replacement, std::string& error);
// Makes the content durable, closes the file and renames it over the final
// name. On failure removes it and returns false.
bool commitFileReplacement(FileReplacement& replacement);
// Closes and removes the temporary file.
void abandonFileReplacement(FileReplacement& replacement);
// Writes all of `data` into the temporary file. On failure returns false
// with errno set to the reason (a write that makes no progress: ENOSPC).
bool writeFileReplacement(FileReplacement& replacement, const char* data, size_t size);

// Replaces the file at `path` with `content` in one go, as above. On failure
// the old file is left as it was, false is returned and `reason` (when
// given) gets the system's reason.
bool replaceFileContent(const std::string& path, const char* data, size_t size, std::string* reason = nullptr);

}  // namespace feltrix
