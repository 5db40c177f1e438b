// Feltrix on Windows: start-up and the message loop. The script host, the
// audio engine and the update timer run as on Linux; the script's controls
// live in an in-memory window system until the Win32 main window takes over.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/install_path.h"
#include "app/script_host.h"
#include "app/win32_update_timer.h"
#include "audio/audio_system.h"
#include "gui/item_registry.h"
#include "gui/memory_window_system.h"
#include "gui/modal_ui.h"
#include "gui/win32_modal_ui.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace feltrix;
    const bool passthrough = passthroughRequested(__argc, __argv);
    recordInstallPath();

    // The host, the window system and the engine live until the process
    // ends; no exit path tears them down (the audio thread may still run).
    auto* host = new ScriptHost(passthrough);
    // Console diagnostics and script output appear as they are written (the
    // Windows runtime would buffer line-buffered output fully).
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    setActiveScriptHost(host);
    installModalUiBackend(new Win32ModalUi);
    guiItems().setWindowSystem(new MemoryWindowSystem);

    // PortAudio is linked into the program (no portaudio_x86.dll to miss).
    if (initAudio() != 0) {
        showMessageBox("Error", "Failed to initialize audio system. Make sure a sound output device is available.",
                       false);
    }

    auto* timer = new Win32UpdateTimer(*host);
    host->setUpdateTimer(timer);
    host->runInitScript();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    std::fflush(stdout);
    std::exit(static_cast<int>(message.wParam));
}
