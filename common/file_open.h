#pragma once
// Opening files that scripts name, without ever waiting: opening a FIFO
// without a writer, or some devices, blocks until something happens at the
// other end, and the main thread must not wait for that.
#include <cstdio>

namespace feltrix {

// Opens `path` for reading with fopen's `mode` if it is a regular file;
// null otherwise (missing, unreadable, a folder, FIFO, device or socket).
std::FILE* openRegularFile(const char* path, const char* mode);

// Whether `path` can be opened for reading (what fileExists reports), found
// out without waiting on a FIFO or a device.
bool canOpenForReading(const char* path);

// fopen for a UTF-8 name on every system (Windows takes it wide).
std::FILE* openFile(const char* path, const char* mode);

}  // namespace feltrix
