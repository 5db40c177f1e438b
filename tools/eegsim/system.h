#pragma once
// The few operating-system services the stand-in's loop needs.

namespace eegsim {

// Seconds on a clock that never jumps.
double monotonicSeconds();
// Sleeps until monotonicSeconds() reaches `when` or a stop is requested.
void sleepUntil(double when);
// Ctrl-C (SIGINT) and SIGTERM request a stop instead of ending the process.
void installStopHandler();
bool stopRequested();
// Whether standard output is a terminal (for the one-line status).
bool standardOutputIsTerminal();

}  // namespace eegsim
