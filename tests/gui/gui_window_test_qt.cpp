// The script GUI in the real main window, driven by QTest clicks, drags and keys (offscreen):
// the callbacks each action gives, the window's growth, and what the client area shows.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include <memory>
#include <string>
#include <vector>

#include "app/script_host.h"
#include "common/script_lock.h"
#include "gui/modal_ui.h"
#include "gui/main_window_qt.h"
#include "gui/modal_ui_qt.h"
#include "gui/window_system_qt.h"
#include "tests/support/test_support.h"

using namespace feltrix;
using namespace feltrix::testing;

namespace {

// Every script records its callbacks as "id,value" lines in the global `events`.
const char* kRecorder = R"lua(
events = "" function FeltrixUpdateCallback() end
function FeltrixGuiMessageCallback(id, value)
  events = events .. tostring(id) .. "," .. tostring(value) .. "\n"
  if onGuiMessage then onGuiMessage(id, value) end
end
)lua";

class GuiWindow : public ::testing::Test {
protected:
    void SetUp() override {
        static int argc = 1;
        static char* argv[] = {const_cast<char*>("gui_window_tests"), nullptr};
        if (qApp == nullptr) new QApplication(argc, argv);  // one for the whole program
        window_ = std::make_unique<MainWindow>();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        host_ = std::make_unique<ScriptHost>(false);
        setActiveScriptHost(host_.get());
        host_->setCallbackErrorHandler([](const std::string& message) { ADD_FAILURE() << message; });
    }

    ~GuiWindow() override { setActiveScriptHost(nullptr); }  // then host_ goes, then window_
    void run(const std::string& script, bool recorder = true) {
        const std::string path = dir_.write("script.lj", (recorder ? kRecorder : "") + script);
        ASSERT_EQ(host_->loadAndRunInitScript(path.c_str()), "");
    }

    std::string global(const char* name) {
        lua_getfield(host_->state(), LUA_GLOBALSINDEX, name);
        std::string value = luaL_optstring(host_->state(), -1, "");
        lua_pop(host_->state(), 1);
        return value;
    }

    // The recorded callbacks since the last call.
    std::vector<std::string> takeEvents() {
        const std::vector<std::string> events = lines(global("events"));
        run("events = ''", false);
        return events;
    }

    template <typename Widget> Widget* item(const char* globalName, int offset = 0) {
        const int id = std::stoi(global(globalName)) + offset;
        return window_->clientArea()->findChild<Widget*>(QStringLiteral("guiItem%1").arg(id));
    }

    std::string event(const char* globalName, const std::string& value) { return global(globalName) + "," + value; }
    TempDir dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<ScriptHost> host_;
};

}  // namespace

// Catches boxes toggled twice per click, callbacks seeing the old or an unchanged state, nested
// callbacks that deadlock, text not measured in guiFont, growth of the whole window not the client area.
TEST_F(GuiWindow, CheckboxClickTogglesThenTellsTheScript) {
    window_->windowSystem().resizeClientArea(512, 177);
    run(R"lua(
addCheckboxInternal("Far", 600, 200)
box = addCheckboxInternal("Sound on", 10, 10)
other = addCheckboxInternal("Follow", 10, 40)
-- nested, with the script lock held
function onGuiMessage(id, value) if id == box then checkCheckboxInternal(other, value) end end
)lua");
    auto *box = item<QCheckBox>("box"), *other = item<QCheckBox>("other");
    ASSERT_TRUE(box && other);
    const QSize text = QFontMetrics(guiFont()).size(0, QStringLiteral("Far"));
    EXPECT_EQ(window_->clientArea()->size(), QSize(600 + text.width() + 27, 200 + text.height() + 3));
    for (const bool checked : {true, false}) {
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_EQ(box->isChecked(), checked);
        const std::string value = checked ? "true" : "false";
        EXPECT_EQ(takeEvents(), (std::vector<std::string>{event("box", value), event("other", value)}));
    }
    run("checkCheckboxInternal(other, false)", false);
    EXPECT_TRUE(takeEvents().empty());
    EXPECT_FALSE(scriptLock().heldByCurrentThread());
}

// Catches drags reported only at the end or without a double final report, page steps other than a fifth
// of the range, positions beyond 1000, and script-set positions that are lost or report.
TEST_F(GuiWindow, SliderReportsEachStepThenTheEnd) {
    run(R"lua(slider = addSliderInternal("Volume", "", "", 10, 10, 0.25))lua");
    auto* slider = item<QSlider>("slider");
    ASSERT_NE(slider, nullptr);
    const auto twice = [&](const char* value) { return std::vector<std::string>(2, event("slider", value)); };
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() - 4, slider->height() / 2));
    EXPECT_EQ(takeEvents(), twice("450"));
    QTest::keyClick(slider, Qt::Key_Left);
    EXPECT_EQ(takeEvents(), twice("449"));
    // On the handle: its centre is within a pixel of where the value lies along the whole width.
    QPoint at(QStyle::sliderPositionFromValue(0, 1000, slider->value(), slider->width()), slider->height() / 2);
    QTest::mousePress(slider, Qt::LeftButton, {}, at);
    for (int step = 0; step < 6; ++step) QTest::mouseMove(slider, at += QPoint(12, 0));
    QTest::mouseMove(slider, at += QPoint(500, 0));  // beyond the end: stops at 1000
    QTest::mouseRelease(slider, Qt::LeftButton, {}, at);
    std::vector<int> positions{449};  // then every step beyond it
    for (const std::string& e : takeEvents()) positions.push_back(std::stoi(e.substr(e.find(',') + 1)));
    ASSERT_GE(positions.size(), 6u);
    for (std::size_t i = 1; i + 2 < positions.size(); ++i) EXPECT_GT(positions[i], positions[i - 1]);
    // The last step itself, then the end twice.
    EXPECT_EQ(std::vector<int>(positions.end() - 3, positions.end()), (std::vector<int>{1000, 1000, 1000}));
    run("setSliderPositionInternal(slider, 250)", false);
    EXPECT_EQ(slider->value(), 250);
    EXPECT_TRUE(takeEvents().empty());
}

// Catches selections by the script that reach the callback, user selections
// reported by index instead of text, and texts that lose their encoding.
TEST_F(GuiWindow, DropdownReportsOnlyTheUsersChoiceWithItsText) {
    run(R"lua(
list = addDropdownListInternal("Background", 10, 40, 150, 200)
addDropdownListItemInternal(list, "Rain", -1, false) addDropdownListItemInternal(list, "Wind", -1, false)
addDropdownListItemInternal(list, "Grüße", -1, true) selectDropdownListItemInternal(list, 0)
)lua");
    auto* list = item<QComboBox>("list");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(takeEvents().empty());
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(takeEvents(), (std::vector<std::string>{event("list", "Wind"), event("list", "Grüße")}));
    auto* caption = item<QLabel>("list", 1);  // a label above the list
    EXPECT_TRUE(caption != nullptr && caption->text() == QStringLiteral("Background"));
}

// Catches a button whose callback cannot remove it (use after free), tooltip
// and enable calls that miss the control, and overflowing geometry.
TEST_F(GuiWindow, PushButtonClickCanRemoveItself) {
    run(R"lua(
button = addPushButtonInternal("Stop", 10, 10, 80, 30)
setTooltipInternal(button, "Stops the session")
function onGuiMessage(id) if id == button then removeGuiItemInternal(button) end end
again = addPushButtonInternal("Again", 10, 50, 80, 30)
setItemEnabledInternal(again, false)
setGuiItemPositionInternal(again, 2^31, -2^31) setItemSizeInternal(again, 2^31, 0/0)  -- clamped, no overflow
)lua");
    QPointer<QPushButton> button = item<QPushButton>("button");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Stops the session"));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(takeEvents(), (std::vector<std::string>{event("button", "nil")}));
    ASSERT_FALSE(button.isNull());  // deleted only once its click has been handled
    EXPECT_FALSE(button->isVisible());
    EXPECT_EQ(item<QPushButton>("button"), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(button.isNull());
    auto* again = item<QPushButton>("again");
    EXPECT_TRUE(again != nullptr && !again->isEnabled());
}

// Catches wrong colour bytes, painting by id instead of depth, equal depths in the wrong order,
// hidden or removed rectangles painted, changes that do not repaint, inclusive right and bottom edges.
TEST_F(GuiWindow, RectanglesArePaintedByDepthAndHiddenOnesAreSkipped) {
    run(R"lua(
red = addRectangleInternal(10, 10, 40, 40, 0xFF00, 0, 0, 0, 1)
green = addRectangleInternal(30, 30, 40, 40, 0, 0xFFFF, 0, 0, 0)
blue = addRectangleInternal(100, 10, 40, 40, 0, 0, 0xFF00, 0xFF00, 2)
olive = addRectangleInternal(120, 10, 40, 40, 0x8000, 0x80FF, 0, 0, 2)
shade = addRectangleInternal(200, 10, 30, 30, 0x1200, 0x3400, 0x5600, 0, -1)
)lua");
    const auto expectPixels = [&](std::vector<std::tuple<int, int, QColor>> pixels) {
        const QImage shot = window_->clientArea()->grab().toImage();
        for (const auto& [x, y, colour] : pixels) EXPECT_EQ(shot.pixelColor(x, y), colour) << x << "," << y;
    };
    const QColor back = window_->clientArea()->grab().toImage().pixelColor(300, 150), red(255, 0, 0),
                 blue(0, 0, 255), shade(0x12, 0x34, 0x56);
    expectPixels({{15, 15, red}, {60, 60, QColor(0, 255, 0)}, {40, 40, red}, {105, 15, blue},
                  {130, 20, QColor(0x80, 0x80, 0)}, {210, 20, shade}, {229, 39, shade}, {230, 40, back}});
    run("setItemHiddenInternal(shade, true) setItemColorInternal(red, 0, 0, 0xFF00, 0) "
        "setGuiItemPositionInternal(blue, 300, 100)");
    expectPixels({{210, 20, back}, {15, 15, blue}, {105, 15, back}, {305, 105, blue}});
    run("setItemHiddenInternal(shade, false) removeGuiItemInternal(green)");
    expectPixels({{210, 20, shade}, {60, 60, back}});
}

// Catches modal windows that keep the script lock (update cycles would stall
// behind them), wrong captions and filters, and paths not handed back.
TEST_F(GuiWindow, ModalWindowsReleaseTheScriptLockWhileOpen) {
    const QByteArray automation = qgetenv("FELTRIX_AUTOMATION");
    qunsetenv("FELTRIX_AUTOMATION");
    QtModalUi modalUi;
    installModalUiBackend(&modalUi);
    const std::string chosen = dir_.write("rain.wav", "RIFF");
    run(R"lua(
button = addPushButtonInternal("Open", 10, 10, 80, 30)
function onGuiMessage(id) messageBox("Hello ✓") picked = openFileDialog() end
)lua");
    // What each modal window shows, after "locked" if it kept the script lock. Each is closed from its
    // modal loop whatever it shows, so the test cannot hang.
    std::vector<std::string> seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        QString shown = scriptLock().heldByCurrentThread() ? "locked " : "";
        if (auto* box = qobject_cast<QMessageBox*>(modal)) shown += box->windowTitle() + ": " + box->text();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            shown += dialog->nameFilters().join('|');
            dialog->selectFile(QString::fromStdString(chosen));
            static_cast<QDialog*>(dialog)->accept();  // as its Open button does
        }
        seen.push_back(shown.toStdString());
        modal->close();
    });
    timer.start(10);
    QTest::mouseClick(item<QPushButton>("button"), Qt::LeftButton);
    installModalUiBackend(nullptr);
    qputenv("FELTRIX_AUTOMATION", automation);
    EXPECT_EQ(seen, (std::vector<std::string>{"Feltrix: Hello ✓", "All Supported Files (*.WAV *.OGG *.MP3)|"
                                              "Audio File (*.ogg, *.mp3, *.wav) (*.WAV *.OGG *.MP3)"}));
    EXPECT_EQ(global("picked"), chosen);
}
