#include "gui/main_window_qt.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "gui/item_registry.h"
#include "gui/window_system_qt.h"

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

void ClientArea::paintEvent(QPaintEvent* event) {
    // Only the window whose items the registry holds paints them.
    if (owner_ == nullptr || guiItems().windowSystem() != owner_) return;
    const QRect area = rect();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    // 16-bit intensities: the high byte is the 8-bit colour. The list comes in
    // painting order, so higher depths end up on top.
    for (const PaintedRectangle& r : guiItems().rectanglesToPaint()) {
        // Formed in 64 bits: script coordinates may lie anywhere in 32 bits.
        const long long left = std::max<long long>(r.rect.x, area.left());
        const long long top = std::max<long long>(r.rect.y, area.top());
        const long long right = std::min<long long>(0LL + r.rect.x + r.rect.width, area.right() + 1LL);
        const long long bottom = std::min<long long>(0LL + r.rect.y + r.rect.height, area.bottom() + 1LL);
        if (left >= right || top >= bottom) continue;
        painter.fillRect(QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                               static_cast<int>(bottom - top)),
                         QColor(r.color.red >> 8, r.color.green >> 8, r.color.blue >> 8));
    }
}

MainWindow::MainWindow() : clientArea_(new ClientArea(this)) {
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

    windowSystem_ = std::make_unique<QtWindowSystem>(*this, *clientArea_);
    clientArea_->setOwner(windowSystem_.get());
    guiItems().setWindowSystem(windowSystem_.get());
}

MainWindow::~MainWindow() {
    if (guiItems().windowSystem() == windowSystem_.get()) guiItems().setWindowSystem(nullptr);
    if (theMainWindow == this) theMainWindow = nullptr;
}

void MainWindow::runMenuCommand(int commandId) { runFileMenuCommand(commandId); }

}  // namespace feltrix
