// The main window as the user first sees it: title, size, File menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "gui/qt_main_window.h"

namespace {

int argc = 1;
char name[] = "main_window_test";
char* argv[] = {name, nullptr};

QApplication& application() {
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace

TEST(MainWindow, TitleSizeAndFileMenuInOrder) {
    application();
    feltrix::MainWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Feltrix"));
    EXPECT_EQ(window.size(), QSize(512, 216));
    // The client area lies below the menu bar.
    EXPECT_EQ(window.clientArea()->geometry().top(), window.menuBar()->geometry().bottom() + 1);

    const QList<QAction*> top = window.menuBar()->actions();
    ASSERT_EQ(top.size(), 1);
    EXPECT_EQ(top[0]->text(), QStringLiteral("File"));
    QStringList entries;
    for (QAction* action : top[0]->menu()->actions()) {
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(entries, (QStringList{"Load Configuration...", "Save Configuration...", "-", "Open Custom Script...",
                                    "-", "Exit"}));
    EXPECT_EQ(window.clientArea()->font().pixelSize(), 16);
}

TEST(MainWindow, ClosingTheWindowEndsTheEventLoopWithZero) {
    application();
    auto* window = new feltrix::MainWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QTimer::singleShot(0, window, [window] { window->close(); });
    EXPECT_EQ(application().exec(), 0);
}

TEST(MainWindowDeathTest, FileExitEndsTheProcessWithZero) {
    application();
    feltrix::MainWindow window;
    EXPECT_EXIT(window.runMenuCommand(feltrix::kExitCommand), ::testing::ExitedWithCode(0), "");
}
