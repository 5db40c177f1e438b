#pragma once
// The main window: title "Feltrix", the File menu and the client area below
// the menu bar, in which script-created items are placed.
#include <QFont>
#include <QMainWindow>

namespace feltrix {

// Command ids of the File menu (script-created controls use 1024..17407).
enum MenuCommand : int {
    kOpenCustomScriptCommand = 50001,
    kExitCommand = 50002,
    kSaveConfigurationCommand = 50003,
    kLoadConfigurationCommand = 50004,
};

// "Segoe UI", 16 px, normal weight (fontconfig substitutes where missing).
const QFont& guiFont();

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow();
    // The area below the menu bar; item coordinates are its pixels.
    QWidget* clientArea() const { return clientArea_; }
    // Runs what the menu command with this id does.
    void runMenuCommand(int commandId);

private:
    QWidget* clientArea_;
};

// The process's main window (null before start-up creates it).
MainWindow* mainWindow();

}  // namespace feltrix
