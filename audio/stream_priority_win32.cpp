// Windows: PortAudio's hosts raise their callback threads themselves. MME and
// DirectSound give THREAD_PRIORITY_TIME_CRITICAL (MME drops it to NORMAL for
// a moment when the callback itself takes longer than its buffer lasts);
// WASAPI registers the thread with the multimedia class scheduler as "Audio"
// ("Pro Audio" in exclusive mode). Nothing needs asking, nothing is refused.
#include "audio/stream_priority.h"

namespace feltrix {

void requestRealtimeCallback(PaStream*, int) {}
void noteCallbackThread() {}
std::string settleRealtimePriority() { return {}; }

}  // namespace feltrix
