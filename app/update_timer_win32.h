#pragma once
#include <windows.h>

#include "app/update_timer.h"

namespace feltrix {

class ScriptHost;

// The update timer as a thread timer (no window) of the main thread: its
// procedure runs from the message loop's dispatch, so the update cycle always
// runs on the thread that runs the script. Arming it again replaces it.
class Win32UpdateTimer : public UpdateTimer {
public:
    explicit Win32UpdateTimer(ScriptHost& host);
    void arm(int periodMs) override;

private:
    static void CALLBACK tick(HWND window, UINT message, UINT_PTR timerId, DWORD time);
    UINT_PTR timerId_ = 7;
};

}  // namespace feltrix
