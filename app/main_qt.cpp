// Feltrix: start-up and the main loop.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "app/install_path.h"
#include "app/update_timer_qt.h"
#include "app/script_host.h"
#include "audio/audio_engine.h"
#include "gui/modal_ui.h"
#include "gui/main_window_qt.h"
#include "gui/modal_ui_qt.h"

int main(int argc, char** argv) {
    using namespace feltrix;
    // Console diagnostics and script output appear line by line.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const bool passthrough = passthroughRequested(argc, argv);
    QApplication application(argc, argv);
    recordInstallPath();

    // The host, the window and the engine live until the process ends; no exit
    // path tears them down (the audio thread may still be running).
    auto* host = new ScriptHost(passthrough);
    setActiveScriptHost(host);
    installModalUiBackend(new QtModalUi);

    auto* window = new MainWindow;
    // The box names what failed; the engine keeps looking for a device.
    const std::string audioFailure = initAudio();
    if (!audioFailure.empty()) showMessageBox("Error", "Failed to initialize audio system. " + audioFailure, false);
    window->show();

    auto* timer = new QtUpdateTimer(*host);
    host->setUpdateTimer(timer);
    host->runInitScript();

    const int code = application.exec();
    std::fflush(stdout);
    // Leave without destroying the window and the host under a running stream.
    std::exit(code);
}
