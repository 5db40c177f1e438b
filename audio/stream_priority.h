#pragma once
// Real-time priority for the output stream's callback thread, as the
// platform's audio hosts offer it. A callback that waits behind other busy
// programs runs late, and the device then runs out of sound (an underrun: a
// moment of silence, a click).
#include <string>

typedef void PaStream;

namespace feltrix {

// Before the stream starts: asks the host of `stream`, opened on `device`,
// to run the stream's callback at real-time priority.
void requestRealtimeCallback(PaStream* stream, int device);
// Audio thread, at every block: remembers the thread (no system call).
void noteCallbackThread();
// Once a started stream has mixed blocks: where the callback thread got
// real-time priority, gives the threads that carry the stream's sound on (a
// sound server's client loop) the same and returns empty (so too where the
// platform's hosts decide it alone); otherwise returns the console line that
// says why not and how to allow it.
std::string settleRealtimePriority();

}  // namespace feltrix
