// The script GUI in the real main window, driven like a user drives it (QTest
// clicks, drags and keys under the offscreen platform): the callbacks each
// action gives, the window's growth, and what the client area shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/script_host.h"
#include "app/script_lock.h"
#include "gui/modal_ui.h"
#include "gui/qt_main_window.h"
#include "gui/qt_modal_ui.h"
#include "gui/qt_window_system.h"
#include "tests/support/test_support.h"

using feltrix::MainWindow;
using feltrix::ScriptHost;
using feltrix::testing::TempDir;
using feltrix::testing::waitFor;

namespace {

int argc = 1;
char programName[] = "gui_window_tests";
char* argv[] = {programName, nullptr};

QApplication& application() {
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Every script records its callbacks as "id,value" in the global `events`.
const char* kRecorder = R"lua(
events = {}
function FeltrixGuiMessageCallback(id, value)
  events[#events + 1] = tostring(id) .. "," .. tostring(value)
  if onGuiMessage then onGuiMessage(id, value) end
end
function FeltrixUpdateCallback() end
)lua";

class GuiWindow : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        window_ = std::make_unique<MainWindow>();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        host_ = std::make_unique<ScriptHost>(false);
        feltrix::setActiveScriptHost(host_.get());
        host_->setCallbackErrorHandler([](const std::string& message) { ADD_FAILURE() << message; });
    }

    void TearDown() override {
        feltrix::setActiveScriptHost(nullptr);
        host_.reset();
        window_.reset();
    }

    void run(const std::string& script) {
        const std::string path = dir_.write("FeltrixInit.lj", std::string(kRecorder) + script);
        ASSERT_EQ(host_->loadAndRunInitScript(path.c_str()), "");
    }

    int global(const char* name) {
        lua_State* L = host_->state();
        lua_getfield(L, LUA_GLOBALSINDEX, name);
        const int value = static_cast<int>(lua_tonumber(L, -1));
        lua_pop(L, 1);
        return value;
    }

    // The recorded callbacks since the last call.
    std::vector<std::string> takeEvents() {
        lua_State* L = host_->state();
        std::vector<std::string> out;
        lua_getfield(L, LUA_GLOBALSINDEX, "events");
        for (int i = 1;; ++i) {
            lua_rawgeti(L, -1, i);
            if (lua_isnil(L, -1)) {
                lua_pop(L, 1);
                break;
            }
            out.emplace_back(lua_tostring(L, -1));
            lua_pop(L, 1);
        }
        lua_pop(L, 1);
        lua_newtable(L);
        lua_setfield(L, LUA_GLOBALSINDEX, "events");
        return out;
    }

    template <typename Widget>
    Widget* item(const char* globalName) {
        const int id = global(globalName);
        return window_->clientArea()->findChild<Widget*>(QStringLiteral("guiItem%1").arg(id));
    }

    std::string event(const char* globalName, const std::string& value) {
        return std::to_string(global(globalName)) + "," + value;
    }

    QImage screenshot() { return window_->clientArea()->grab().toImage(); }

    TempDir dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<ScriptHost> host_;
};

QRect sliderHandle(QSlider* slider) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.state |= QStyle::State_Horizontal;
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
}

// Runs `inspect` on the modal window once it is open, from the modal loop.
void whenModalOpens(const std::function<void(QWidget*)>& inspect) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            inspect(modal);
        }
    });
    timer->start();
}

}  // namespace

// Catches a box that toggles by itself (twice per click), a callback that
// sees the old state, and nested check-box callbacks that deadlock.
TEST_F(GuiWindow, CheckboxClickTogglesThenTellsTheScript) {
    run(R"lua(
box = addCheckboxInternal("Sound on", 10, 10)
other = addCheckboxInternal("Follow", 10, 40)
function onGuiMessage(id, value)
  if id == box then
    seenInControl = tostring(value)
    checkCheckboxInternal(other, value)  -- nested, with the script lock held
  end
end
)lua");
    auto* box = item<QCheckBox>("box");
    auto* other = item<QCheckBox>("other");
    ASSERT_NE(box, nullptr);
    ASSERT_NE(other, nullptr);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(other->isChecked());
    EXPECT_EQ(takeEvents(), (std::vector<std::string>{event("box", "true"), event("other", "true")}));
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(takeEvents(), (std::vector<std::string>{event("box", "false"), event("other", "false")}));
    EXPECT_FALSE(feltrix::scriptLock().heldByCurrentThread());
}

// Catches drags reported only at the end, a missing or single final report,
// positions outside 0..1000, and positions set by the script that report.
TEST_F(GuiWindow, SliderDragReportsEachStepThenTheEndTwice) {
    run(R"lua(
slider = addSliderInternal("Volume", "", "", 10, 10, 0.25)
)lua");
    auto* slider = item<QSlider>("slider");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->value(), 250);
    EXPECT_EQ(slider->size(), QSize(148, 30));

    const QRect handle = sliderHandle(slider);
    QPoint at = handle.center();
    QTest::mousePress(slider, Qt::LeftButton, {}, at);
    for (int step = 0; step < 6; ++step) {
        at.rx() += 12;
        QTest::mouseMove(slider, at);
    }
    at.rx() += 500;  // beyond the end: the position stops at 1000
    QTest::mouseMove(slider, at);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, at);

    const std::vector<std::string> events = takeEvents();
    ASSERT_GE(events.size(), 5u);
    const std::string prefix = std::to_string(global("slider")) + ",";
    std::vector<int> positions;
    for (const std::string& e : events) {
        ASSERT_EQ(e.rfind(prefix, 0), 0u) << e;
        positions.push_back(std::stoi(e.substr(prefix.size())));
    }
    for (std::size_t i = 1; i + 2 < positions.size(); ++i) EXPECT_GT(positions[i], positions[i - 1]);
    EXPECT_GT(positions.front(), 250);
    EXPECT_EQ(positions[positions.size() - 1], 1000);
    EXPECT_EQ(positions[positions.size() - 2], 1000);
    EXPECT_EQ(positions[positions.size() - 3], 1000);  // the last step itself
    EXPECT_EQ(slider->value(), 1000);

    host_->loadAndRunInitScript(dir_.write("set.lj", "setSliderPositionInternal(slider, 0.25)").c_str());
    EXPECT_EQ(slider->value(), 0);  // a raw position, not a fraction
    host_->loadAndRunInitScript(dir_.write("set.lj", "setSliderPositionInternal(slider, 250)").c_str());
    EXPECT_EQ(slider->value(), 250);
    EXPECT_TRUE(takeEvents().empty());
}

// Catches groove clicks and keys reported once (without their end) or not at
// all, and page steps other than a fifth of the range.
TEST_F(GuiWindow, SliderClicksAndKeysReportThePositionThenTheEnd) {
    run(R"lua(
slider = addSliderInternal("Balance", "", "", 10, 10, 0.25)
)lua");
    auto* slider = item<QSlider>("slider");
    ASSERT_NE(slider, nullptr);
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() - 4, slider->height() / 2));
    EXPECT_EQ(takeEvents(), (std::vector<std::string>{event("slider", "450"), event("slider", "450")}));
    QTest::keyClick(slider, Qt::Key_Left);
    EXPECT_EQ(takeEvents(), (std::vector<std::string>{event("slider", "449"), event("slider", "449")}));
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(takeEvents(), (std::vector<std::string>{event("slider", "1000"), event("slider", "1000")}));
}

// Catches selections by the script that reach the callback, user selections
// reported by index instead of text, and texts that lose their encoding.
TEST_F(GuiWindow, DropdownReportsOnlyTheUsersChoiceWithItsText) {
    run(R"lua(
list = addDropdownListInternal("Background", 10, 40, 150, 200)
addDropdownListItemInternal(list, "Rain", -1, false)
addDropdownListItemInternal(list, "Wind", -1, false)
addDropdownListItemInternal(list, "Grüße", -1, true)
selectDropdownListItemInternal(list, 0)
)lua");
    auto* list = item<QComboBox>("list");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(takeEvents().empty());
    EXPECT_EQ(list->currentIndex(), 0);

    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(takeEvents(), (std::vector<std::string>{event("list", "Wind")}));

    list->showPopup();
    QListView* view = qobject_cast<QListView*>(list->view());
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(waitFor([&] { return view->isVisible(); }));
    const QRect third = view->visualRect(view->model()->index(2, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(takeEvents(), (std::vector<std::string>{event("list", "Grüße")}));
    EXPECT_EQ(list->currentIndex(), 2);

    // The caption is a label above the list.
    auto* caption = window_->clientArea()->findChild<QLabel*>(QStringLiteral("guiItem%1").arg(global("list") + 1));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), QStringLiteral("Background"));
    EXPECT_EQ(caption->geometry(), QRect(10, 20, 150, 20));
}

// Catches a button whose callback cannot remove it (use after free), tooltip
// and enable calls that miss the control.
TEST_F(GuiWindow, PushButtonClickCanRemoveItself) {
    run(R"lua(
button = addPushButtonInternal("Stop", 10, 10, 80, 30)
setTooltipInternal(button, "Stops the session")
function onGuiMessage(id) if id == button then removeGuiItemInternal(button) end end
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

    run(R"lua(
again = addPushButtonInternal("Again", 10, 10, 80, 30)
setItemEnabledInternal(again, false)
)lua");
    auto* again = item<QPushButton>("again");
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(again->isEnabled());
    QTest::mouseClick(again, Qt::LeftButton);
    EXPECT_TRUE(takeEvents().empty());
}

// Catches growth measured on the whole window instead of the area below the
// menu, a list's opened height counted, and labels not measured in guiFont.
TEST_F(GuiWindow, WindowGrowsSoThatControlsFit) {
    window_->windowSystem().resizeClientArea(512, 177);
    ASSERT_EQ(window_->clientArea()->size(), QSize(512, 177));
    run(R"lua(
list = addDropdownListInternal("", 10, 10, 100, 200)
)lua");
    EXPECT_EQ(window_->clientArea()->size(), QSize(512, 177));
    run(R"lua(
slider = addSliderInternal("s", "", "", 10, 180, 0)
label = addLabelInternal("Hello World", 300, 100, 0, 0)
box = addCheckboxInternal("Hello World", 400, 10)
)lua");
    const QFontMetrics metrics(feltrix::guiFont());
    const int textWidth = metrics.size(0, QStringLiteral("Hello World")).width();
    EXPECT_EQ(window_->clientArea()->size(), QSize(400 + textWidth + 26 + 1, 231));
    EXPECT_EQ(item<QLabel>("label")->geometry(),
              QRect(300, 100 - metrics.height(), textWidth + 1, metrics.height()));
    EXPECT_EQ(item<QCheckBox>("box")->width(), textWidth + 26);
    // A measured label shows its text on one line.
    EXPECT_LE(item<QLabel>("label")->heightForWidth(textWidth + 1), metrics.height());
}

// Catches wrong colour bytes, painting in id order instead of depth order,
// equal depths in the wrong order, and hidden rectangles still painted.
TEST_F(GuiWindow, RectanglesArePaintedByDepthAndHiddenOnesAreSkipped) {
    run(R"lua(
red = addRectangleInternal(10, 10, 40, 40, 0xFF00, 0, 0, 0, 1)
green = addRectangleInternal(30, 30, 40, 40, 0, 0xFFFF, 0, 0, 0)
blue = addRectangleInternal(100, 10, 40, 40, 0, 0, 0xFF00, 0xFF00, 2)
olive = addRectangleInternal(120, 10, 40, 40, 0x8000, 0x80FF, 0, 0, 2)
shade = addRectangleInternal(200, 10, 30, 30, 0x1200, 0x3400, 0x5600, 0, -1)
)lua");
    QImage shot = screenshot();
    const QColor background = shot.pixelColor(300, 150);
    EXPECT_EQ(shot.pixelColor(15, 15), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(60, 60), QColor(0, 255, 0));
    EXPECT_EQ(shot.pixelColor(40, 40), QColor(255, 0, 0));  // higher depth on top, whatever the ids
    EXPECT_EQ(shot.pixelColor(105, 15), QColor(0, 0, 255));
    EXPECT_EQ(shot.pixelColor(130, 20), QColor(0x80, 0x80, 0));  // equal depth: higher id on top
    EXPECT_EQ(shot.pixelColor(210, 20), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(shot.pixelColor(229, 39), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(shot.pixelColor(230, 40), background);  // right and bottom edges are exclusive

    run(R"lua(
setItemHiddenInternal(shade, true)
setItemColorInternal(red, 0, 0, 0xFF00, 0)
setGuiItemPositionInternal(blue, 300, 100)
setItemSizeInternal(olive, 0, 40)
)lua");
    shot = screenshot();
    EXPECT_EQ(shot.pixelColor(210, 20), background);
    EXPECT_EQ(shot.pixelColor(15, 15), QColor(0, 0, 255));
    EXPECT_EQ(shot.pixelColor(105, 15), background);
    EXPECT_EQ(shot.pixelColor(305, 105), QColor(0, 0, 255));
    EXPECT_EQ(shot.pixelColor(150, 20), background);  // width 0: not painted

    run("setItemHiddenInternal(shade, false) removeGuiItemInternal(green)");
    shot = screenshot();
    EXPECT_EQ(shot.pixelColor(210, 20), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(shot.pixelColor(60, 60), background);
}

// Catches modal windows that keep the script lock (update cycles would stall
// behind them), wrong captions and filters, and paths not handed back.
TEST_F(GuiWindow, ModalWindowsReleaseTheScriptLockWhileOpen) {
    const QByteArray automation = qgetenv("FELTRIX_AUTOMATION");
    qunsetenv("FELTRIX_AUTOMATION");
    feltrix::QtModalUi modalUi;
    feltrix::installModalUiBackend(&modalUi);
    const std::string chosen = dir_.write("rain.wav", "RIFF");
    dir_.write("LOUD.WAV", "RIFF");
    dir_.write("notes.txt", "not a sound");
    run(R"lua(
button = addPushButtonInternal("Open", 10, 10, 80, 30)
function onGuiMessage(id)
  messageBox("Hello ✓")
  picked = openFileDialog()
end
)lua");
    bool lockHeldDuringBox = true;
    bool lockHeldDuringDialog = true;
    QString caption, text;
    QStringList filters;
    QStringList listed;
    // Each step closes its window whatever it finds, so the test cannot hang.
    whenModalOpens([&](QWidget* modal) {
        lockHeldDuringBox = feltrix::scriptLock().heldByCurrentThread();
        caption = modal->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) text = box->text();
        modal->close();
        whenModalOpens([&](QWidget* next) {
            lockHeldDuringDialog = feltrix::scriptLock().heldByCurrentThread();
            auto* dialog = qobject_cast<QFileDialog*>(next);
            if (dialog == nullptr) {
                ADD_FAILURE() << "no file dialog";
                next->close();
                return;
            }
            filters = dialog->nameFilters();
            dialog->setDirectory(QString::fromStdString(dir_.path()));
            if (auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"))) {
                for (int i = 0; i < 200 && view->model()->rowCount(view->rootIndex()) < 2; ++i) QTest::qWait(10);
                for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                    listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
                }
            }
            // The user types the name and presses Open.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            if (name != nullptr && buttons != nullptr && buttons->button(QDialogButtonBox::Open) != nullptr) {
                name->setText(QStringLiteral("rain.wav"));
                buttons->button(QDialogButtonBox::Open)->click();
            }
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the file dialog did not take the file";
                dialog->reject();
            }
        });
    });
    QTest::mouseClick(item<QPushButton>("button"), Qt::LeftButton);
    feltrix::installModalUiBackend(nullptr);
    qputenv("FELTRIX_AUTOMATION", automation);

    EXPECT_FALSE(lockHeldDuringBox);
    EXPECT_FALSE(lockHeldDuringDialog);
    EXPECT_EQ(caption, QStringLiteral("Feltrix"));
    EXPECT_EQ(text, QStringLiteral("Hello ✓"));
    ASSERT_EQ(filters.size(), 2);
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("All Supported Files"))) << filters[0].toStdString();
    EXPECT_TRUE(filters[1].startsWith(QStringLiteral("Audio File (*.ogg, *.mp3, *.wav)")))
        << filters[1].toStdString();
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"LOUD.WAV", "rain.wav"}));  // patterns match in either case
    lua_State* L = host_->state();
    lua_getfield(L, LUA_GLOBALSINDEX, "picked");
    EXPECT_STREQ(lua_tostring(L, -1), chosen.c_str());
    lua_pop(L, 1);
}
