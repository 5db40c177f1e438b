#include <windows.h>

#include <cstdio>

#include "app/console.h"

namespace feltrix {

void openConsole() {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    const DWORD type = output != nullptr && output != INVALID_HANDLE_VALUE ? GetFileType(output) : FILE_TYPE_UNKNOWN;
    const bool redirected = type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
    // Failure (a console already there) is ignored.
    AllocConsole();
    if (redirected) {
        // AllocConsole may point the standard handles at the new console;
        // the runtime's stdout keeps the parent's file or pipe either way.
        SetStdHandle(STD_OUTPUT_HANDLE, output);
        return;
    }
    std::freopen("CON", "w", stdout);
}

}  // namespace feltrix
