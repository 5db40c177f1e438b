// The main window: File > Exit, and its File menu reaching the script.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>

#include <cstdlib>

#include "app/script_host.h"
#include "gui/modal_ui.h"
#include "gui/main_window_qt.h"
#include "tests/support/test_support.h"

namespace {
QApplication& application() {
    static int argc = 1;
    static char name[] = "main_window_test", *argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);
    return *app;
}
}  // namespace

TEST(MainWindowDeathTest, FileExitEndsTheProcessWithZero) {
    application();
    feltrix::MainWindow window;
    EXPECT_EXIT(window.runMenuCommand(feltrix::kExitCommand), ::testing::ExitedWithCode(0), "");
}

// File > Save and Load Configuration reach the script's menu callbacks, which
// save and load through the dialogs (answered by FELTRIX_DIALOG_ANSWERS).
TEST(MainWindow, ConfigurationMenuCommandsRunTheScriptsCallbacks) {
    application();
    feltrix::testing::TempDir dir;
    const std::string config = dir.file("menu.fxc");
    setenv("FELTRIX_AUTOMATION", "1", 1);
    setenv("FELTRIX_DIALOG_ANSWERS", dir.write("answers.txt", config + "\n" + config + "\n").c_str(), 1);
    feltrix::resetDialogAnswers();
    feltrix::ScriptHost host(false);
    feltrix::setActiveScriptHost(&host);
    dir.write("init.lj",
              "function FeltrixSaveConfig() saveConfig('-- Feltrix configuration file\\nreturn 0.25') end\n"
              "function FeltrixLoadConfig() loaded = loadConfig(openFileDialogConfig()) end\n");
    ASSERT_EQ(host.loadAndRunInitScript(dir.file("init.lj").c_str()), "");
    feltrix::MainWindow window;
    window.findChild<QAction*>(QStringLiteral("saveConfigurationAction"))->trigger();
    window.findChild<QAction*>(QStringLiteral("loadConfigurationAction"))->trigger();
    lua_getglobal(host.state(), "loaded");  // what the save wrote, read back
    EXPECT_EQ(lua_tonumber(host.state(), -1), 0.25);
    lua_pop(host.state(), 1);
    feltrix::setActiveScriptHost(nullptr);
    unsetenv("FELTRIX_DIALOG_ANSWERS");
    feltrix::resetDialogAnswers();
}
