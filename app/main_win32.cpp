// Feltrix on Windows: start-up and the message loop. The script host, the
// audio engine and the update timer run as on Linux; the script's controls
// live in the Win32 main window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/install_path.h"
#include "app/script_host.h"
#include "app/update_timer_win32.h"
#include "audio/audio_engine.h"
#include "common/text_win32.h"
#include "gui/modal_ui.h"
#include "gui/main_window_win32.h"
#include "gui/modal_ui_win32.h"

namespace {

// The runtime's wide argument vector, program path included, as UTF-8.
bool passthroughInArguments() {
    std::vector<std::string> arguments;
    for (int i = 0; i < __argc; ++i) arguments.push_back(feltrix::wideToUtf8(__wargv[i]));
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    return feltrix::passthroughRequested(static_cast<int>(pointers.size()), pointers.data());
}

int runMainWindow(HINSTANCE instance, int showCode, feltrix::ScriptHost& host) {
    using namespace feltrix;
    HWND window = createMainWindow(instance);
    if (window == nullptr) return 1;
    // PortAudio is linked into the program (no portaudio_x86.dll to miss).
    // The box names what failed; the engine keeps looking for a device.
    const std::string audioFailure = initAudio();
    if (!audioFailure.empty()) showMessageBox("Error", "Failed to initialize audio system. " + audioFailure, false);
    ShowWindow(window, showCode);

    auto* timer = new Win32UpdateTimer(host);
    host.setUpdateTimer(timer);
    host.runInitScript();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!moveFocusOnTab(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        rememberFocusedControl();
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCode) {
    using namespace feltrix;
    const bool passthrough = passthroughInArguments();
    recordInstallPath();

    // The host, the window and the engine live until the process ends; no exit
    // path tears them down (the audio thread may still run).
    auto* host = new ScriptHost(passthrough);
    // Console diagnostics and script output appear as they are written (the
    // Windows runtime would buffer line-buffered output fully).
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    setActiveScriptHost(host);
    installModalUiBackend(new Win32ModalUi);

    const int code = runMainWindow(instance, showCode, *host);
    std::fflush(stdout);
    std::exit(code);
}
