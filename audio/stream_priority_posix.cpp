// Real-time scheduling of the callback thread on Linux: PortAudio's ALSA host
// gives it SCHED_FIFO when asked, if the system lets the process have it (the
// rtprio limit, or the capability CAP_SYS_NICE); without permission it goes
// on at normal priority and says nothing, so the thread itself is asked.
//
// Through a sound server the callback's frames then pass one more thread of
// this process: ALSA's PulseAudio plugin runs libpulse's "threaded-ml" loop,
// which carries them to the server. At normal priority it waited behind busy
// programs just as the callback did (measured: 127 underruns in 2 minutes
// under stress-ng --cpu 2 with the callback alone at real-time priority, 3
// with both), so it gets the callback's scheduling too.
#include <dirent.h>
#include <portaudio.h>
#include <pa_linux_alsa.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <fstream>

#include "audio/stream_priority.h"

namespace feltrix {
namespace {

std::atomic<pthread_t> callbackThread{};
std::atomic<bool> callbackSeen{false};

// Gives every thread of this process named `name` the scheduling `policy`
// at `parameter`.
void scheduleThreadsNamed(const std::string& name, int policy, const sched_param& parameter) {
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr) return;
    while (const dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] == '.') continue;
        std::string comm;
        std::getline(std::ifstream(std::string("/proc/self/task/") + entry->d_name + "/comm"), comm);
        if (comm == name) sched_setscheduler(std::atoi(entry->d_name), policy, &parameter);
    }
    closedir(tasks);
}

}  // namespace

void requestRealtimeCallback(PaStream* stream, int device) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    const PaHostApiInfo* host = info != nullptr ? Pa_GetHostApiInfo(info->hostApi) : nullptr;
    // Only the ALSA host knows this call (JACK schedules its own threads).
    if (host != nullptr && host->type == paALSA) PaAlsa_EnableRealtimeScheduling(stream, 1);
}

void noteCallbackThread() {
    callbackThread.store(pthread_self(), std::memory_order_relaxed);
    callbackSeen.store(true, std::memory_order_release);
}

std::string settleRealtimePriority() {
    if (!callbackSeen.load(std::memory_order_acquire)) return {};
    int policy = SCHED_OTHER;
    sched_param parameter{};
    if (pthread_getschedparam(callbackThread.load(std::memory_order_relaxed), &policy, &parameter) != 0) return {};
    if (policy == SCHED_FIFO || policy == SCHED_RR) {
        scheduleThreadsNamed("threaded-ml", policy, parameter);
        return {};
    }
    rlimit limit{};
    const bool noLimit = getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur == 0;
    return std::string("Sound output: the audio thread runs without real-time priority (") +
           (noLimit ? "this user's rtprio limit is 0" : "the system refused it") +
           "), so the sound may drop out while the computer is busy. To allow it, add the user to the "
           "'audio' group and give the group a real-time priority limit (the line '@audio - rtprio 95' in "
           "/etc/security/limits.d/audio.conf), then log in again.\n";
}

}  // namespace feltrix
