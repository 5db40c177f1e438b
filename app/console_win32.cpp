#include <windows.h>

#include <cstdio>

#include "app/console.h"

namespace feltrix {
namespace {

// Ctrl-C and Ctrl-Break in the console would end a live session at once:
// they are ignored, with a line that says how to end it. Other events (the
// user logging off, the system shutting down) take their usual course.
BOOL WINAPI ignoreInterrupts(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    std::printf("%s does not end Feltrix: use File > Exit or close the main window\n",
                event == CTRL_C_EVENT ? "Ctrl-C" : "Ctrl-Break");
    std::fflush(stdout);
    return TRUE;
}

}  // namespace

void openConsole() {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    const DWORD type = output != nullptr && output != INVALID_HANDLE_VALUE ? GetFileType(output) : FILE_TYPE_UNKNOWN;
    const bool redirected = type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
    // Failure (a console already there) is ignored.
    AllocConsole();
    SetConsoleCtrlHandler(ignoreInterrupts, TRUE);
    // Closing the console would end the process with it: File > Exit and the
    // main window's close button are the ways out.
    if (HWND console = GetConsoleWindow()) DeleteMenu(GetSystemMenu(console, FALSE), SC_CLOSE, MF_BYCOMMAND);
    // Script output is UTF-8: shown as such in any language.
    SetConsoleOutputCP(CP_UTF8);
    if (redirected) {
        // AllocConsole may point the standard handles at the new console;
        // the runtime's stdout keeps the parent's file or pipe either way.
        SetStdHandle(STD_OUTPUT_HANDLE, output);
        return;
    }
    std::freopen("CON", "w", stdout);
}

}  // namespace feltrix
