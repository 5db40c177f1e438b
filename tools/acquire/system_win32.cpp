// The stand-in's clock, sleeping and stop requests on Windows.
#include <windows.h>

#include <atomic>
#include <cmath>
#include <string>

#include "tools/acquire/system.h"

namespace eegsim {
namespace {

std::atomic<bool> stopFlag{false};
// Set by the console handler, so that a sleep ends at once, and by name by
// a program that started this one where console events cannot be sent
// (wine's GenerateConsoleCtrlEvent fails).
HANDLE stopEvent = nullptr;

BOOL WINAPI onConsoleControl(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        stopFlag = true;
        if (stopEvent != nullptr) SetEvent(stopEvent);
        // Closing the console ends the process when this returns: wait
        // instead, so the loop can finish and close the recording (its
        // return from main ends the process; the system ends it after 5 s
        // anyway).
        if (event == CTRL_CLOSE_EVENT) Sleep(4500);
        return TRUE;
    default:
        return FALSE;
    }
}

double counterFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
}

}  // namespace

double monotonicSeconds() {
    static const double frequency = counterFrequency();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

void sleepUntil(double when) {
    // Waits in whole milliseconds (timeBeginPeriod(1) makes them that fine),
    // the last fraction by yielding.
    for (;;) {
        if (stopRequested()) return;
        const double left = when - monotonicSeconds();
        if (left <= 0.0) return;
        const DWORD milliseconds = static_cast<DWORD>(std::floor(left * 1000.0));
        if (milliseconds > 0 && stopEvent != nullptr) {
            WaitForSingleObject(stopEvent, milliseconds);
        } else if (milliseconds > 0) {
            Sleep(milliseconds);
        } else {
            Sleep(0);
        }
    }
}

void installStopHandler() {
    const std::wstring name = L"Local\\feltrix-stop-" + std::to_wstring(GetCurrentProcessId());
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    // Timer resolution of 1 ms for the pacing; the system undoes it when the
    // process ends.
    timeBeginPeriod(1);
    // A program started in a new process group has Ctrl-C ignored: take it
    // back, then handle it (and Ctrl-Break) ourselves.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

bool stopRequested() {
    return stopFlag || (stopEvent != nullptr && WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0);
}

bool standardOutputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

std::size_t terminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return 0;
    return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}

}  // namespace eegsim
