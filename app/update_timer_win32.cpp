#include "app/update_timer_win32.h"

#include "app/script_host.h"

namespace feltrix {
namespace {

// A thread timer's procedure gets no context: the one host it serves.
ScriptHost* timerHost = nullptr;

}  // namespace

Win32UpdateTimer::Win32UpdateTimer(ScriptHost& host) { timerHost = &host; }

void CALLBACK Win32UpdateTimer::tick(HWND, UINT, UINT_PTR, DWORD) {
    if (timerHost != nullptr) timerHost->runUpdateCycle();
}

void Win32UpdateTimer::arm(int periodMs) {
    // Without a window the identity is chosen by the system; passing the one
    // it returned replaces that timer, so only one ever runs.
    const UINT_PTR id = SetTimer(nullptr, timerId_, static_cast<UINT>(periodMs), tick);
    if (id != 0) timerId_ = id;
}

}  // namespace feltrix
