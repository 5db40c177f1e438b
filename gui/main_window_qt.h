#pragma once
// The main window: title "Feltrix", the File menu and the client area below
// the menu bar, in which script-created items are placed.
#include <QFont>
#include <QMainWindow>

#include <memory>

#include "gui/menu_commands.h"

namespace feltrix {

// "Segoe UI", 16 px, normal weight (fontconfig substitutes where missing).
const QFont& guiFont();

class QtWindowSystem;

// The area below the menu bar: script-created controls are its children and
// the script's rectangles are painted on it.
class ClientArea : public QWidget {
    Q_OBJECT
public:
    explicit ClientArea(QWidget* parent) : QWidget(parent) {}
    // The window system whose items this area shows.
    void setOwner(const QtWindowSystem* owner) { owner_ = owner; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QtWindowSystem* owner_ = nullptr;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The newest main window is the one scripts build their items in.
    MainWindow();
    ~MainWindow() override;
    // The area below the menu bar; item coordinates are its pixels.
    QWidget* clientArea() const { return clientArea_; }
    QtWindowSystem& windowSystem() const { return *windowSystem_; }
    // Runs what the menu command with this id does.
    void runMenuCommand(int commandId);

private:
    std::unique_ptr<QtWindowSystem> windowSystem_;
    ClientArea* clientArea_;
};

// The process's main window (null before start-up creates it).
MainWindow* mainWindow();

}  // namespace feltrix
