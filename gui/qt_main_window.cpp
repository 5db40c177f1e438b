#include "gui/qt_main_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <cstdio>
#include <cstdlib>

#include "app/script_host.h"

namespace feltrix {
namespace {

MainWindow* theMainWindow = nullptr;

constexpr int kOuterWidth = 512;
constexpr int kOuterHeight = 216;

}  // namespace

const QFont& guiFont() {
    static const QFont* font = [] {
        auto* f = new QFont(QStringLiteral("Segoe UI"));
        f->setPixelSize(16);
        f->setWeight(QFont::Normal);
        return f;
    }();
    return *font;
}

MainWindow* mainWindow() { return theMainWindow; }

MainWindow::MainWindow() : clientArea_(new QWidget(this)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Feltrix"));
    clientArea_->setObjectName(QStringLiteral("clientArea"));
    clientArea_->setFont(guiFont());
    setCentralWidget(clientArea_);

    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    struct Entry {
        const char* text;
        int command;
        const char* objectName;
    };
    const Entry entries[] = {
        {"Load Configuration...", kLoadConfigurationCommand, "loadConfigurationAction"},
        {"Save Configuration...", kSaveConfigurationCommand, "saveConfigurationAction"},
        {nullptr, 0, nullptr},
        {"Open Custom Script...", kOpenCustomScriptCommand, "openCustomScriptAction"},
        {nullptr, 0, nullptr},
        {"Exit", kExitCommand, "exitAction"},
    };
    for (const Entry& entry : entries) {
        if (entry.text == nullptr) {
            file->addSeparator();
            continue;
        }
        QAction* action = file->addAction(QString::fromLatin1(entry.text));
        action->setObjectName(QString::fromLatin1(entry.objectName));
        const int command = entry.command;
        connect(action, &QAction::triggered, this, [this, command] { runMenuCommand(command); });
    }
    resize(kOuterWidth, kOuterHeight);
    theMainWindow = this;
}

void MainWindow::runMenuCommand(int commandId) {
    ScriptHost* host = activeScriptHost();
    switch (commandId) {
        case kLoadConfigurationCommand:
            if (host != nullptr) host->invokeLoadConfig();
            break;
        case kSaveConfigurationCommand:
            if (host != nullptr) host->invokeSaveConfig();
            break;
        case kOpenCustomScriptCommand:
            if (host != nullptr) host->invokeOpenCustomScript();
            break;
        case kExitCommand:
            std::fflush(stdout);
            std::exit(0);
        default:
            break;
    }
}

}  // namespace feltrix
