#pragma once
// The few operating-system services the stand-in's loop needs
// (system_posix.cpp, system_win32.cpp).

#include <cstddef>

namespace eegsim {

// Seconds on a clock that never jumps.
double monotonicSeconds();
// Sleeps until monotonicSeconds() reaches `when` or a stop is requested.
void sleepUntil(double when);
// Ctrl-C (SIGINT) and SIGTERM request a stop instead of ending the process;
// on Windows Ctrl-C, Ctrl-Break, closing the console window and the event
// "Local\feltrix-stop-<process id>" being set do.
void installStopHandler();
bool stopRequested();
// Whether standard output is a terminal (for the one-line status), and its
// width in characters (0 when unknown).
bool standardOutputIsTerminal();
std::size_t terminalColumns();

}  // namespace eegsim
