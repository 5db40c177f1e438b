#include "gui/window_system_qt.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QPushButton>

#include <algorithm>

#include "gui/gui_events.h"
#include "gui/layout.h"
#include "gui/main_window_qt.h"
#include "gui/script_controls_qt.h"
#include "gui/text_qt.h"

namespace feltrix {
namespace {

QRect widgetRect(const PixelRect& rect) {
    return QRect(clampCoordinate(rect.x), clampCoordinate(rect.y), clampSize(rect.width), clampSize(rect.height));
}

QWidget* makeWidget(GuiItemKind kind, GuiItemId id, const QString& text, QWidget* parent) {
    switch (kind) {
        case GuiItemKind::PushButton: {
            auto* button = new QPushButton(text, parent);
            QObject::connect(button, &QPushButton::clicked, button, [id] { deliverPushButtonClick(id); });
            return button;
        }
        case GuiItemKind::Checkbox:
            return new ScriptCheckBox(id, text, parent);
        case GuiItemKind::Slider:
            return new ScriptSlider(id, parent);
        case GuiItemKind::DropdownList: {
            auto* list = new QComboBox(parent);
            // activated: chosen by the user, never by the program.
            QObject::connect(list, &QComboBox::activated, list, [id, list](int index) {
                deliverDropdownListSelection(id, fromQt(list->itemText(index)));
            });
            return list;
        }
        case GuiItemKind::Label: {
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            return label;
        }
        case GuiItemKind::Rectangle:
            break;
    }
    return nullptr;
}

}  // namespace

QtWindowSystem::QtWindowSystem(QMainWindow& window, QWidget& clientArea) : window_(window), clientArea_(clientArea) {
    // Tooltips show while the mouse rests on a control, also when another
    // window is active.
    window_.setAttribute(Qt::WA_AlwaysShowToolTips);
}

QWidget* QtWindowSystem::control(GuiItemId id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second.data();
}

template <typename Widget>
Widget* QtWindowSystem::controlAs(GuiItemId id) const {
    return qobject_cast<Widget*>(control(id));
}

bool QtWindowSystem::createControl(GuiItemKind kind, GuiItemId id, const std::string& text, const PixelRect& rect) {
    QWidget* widget = makeWidget(kind, id, toQt(text), &clientArea_);
    if (widget == nullptr) return false;
    widget->setObjectName(QStringLiteral("guiItem%1").arg(id));
    widget->setFont(guiFont());
    controls_[id] = widget;
    if (kind == GuiItemKind::DropdownList) {
        placeDropdownList(id, rect);
    } else {
        widget->setGeometry(widgetRect(rect));
    }
    widget->show();
    return true;
}

void QtWindowSystem::placeDropdownList(GuiItemId id, const PixelRect& rect) {
    auto* list = controlAs<QComboBox>(id);
    if (list == nullptr) return;
    listHeights_[id] = rect.height;
    // The closed list keeps its natural height; the rest of the height asked
    // for is room for the opened list's rows.
    const int closedHeight = list->sizeHint().height();
    const int rowHeight = std::max(1, QFontMetrics(guiFont()).height());
    list->setMaxVisibleItems(std::max(1, (clampSize(rect.height) - closedHeight) / rowHeight));
    list->setGeometry(widgetRect({rect.x, rect.y, rect.width, closedHeight}));
}

void QtWindowSystem::destroyControl(GuiItemId id) {
    QWidget* widget = control(id);
    controls_.erase(id);
    listHeights_.erase(id);
    if (widget == nullptr) return;
    // Deleted later: the control may be the one whose signal is running the
    // script right now.
    widget->hide();
    widget->setObjectName(QString());
    widget->deleteLater();
}

PixelSize QtWindowSystem::controlSize(GuiItemId id) const {
    const QWidget* widget = control(id);
    if (widget == nullptr) return {};
    const auto list = listHeights_.find(id);
    if (list != listHeights_.end()) return {widget->width(), list->second};
    return {widget->width(), widget->height()};
}

void QtWindowSystem::moveControl(GuiItemId id, int x, int y) {
    if (QWidget* widget = control(id)) widget->move(clampCoordinate(x), clampCoordinate(y));
}

void QtWindowSystem::resizeControl(GuiItemId id, int width, int height) {
    QWidget* widget = control(id);
    if (widget == nullptr) return;
    if (listHeights_.count(id) != 0) {
        placeDropdownList(id, {widget->x(), widget->y(), width, height});
        return;
    }
    widget->resize(clampSize(width), clampSize(height));
}

void QtWindowSystem::setControlText(GuiItemId id, const std::string& text) {
    QWidget* widget = control(id);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(toQt(text));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(toQt(text));
    } else if (widget != nullptr) {
        widget->setWindowTitle(toQt(text));  // kept, but not shown by lists and sliders
    }
}

void QtWindowSystem::setControlEnabled(GuiItemId id, bool enabled) {
    if (QWidget* widget = control(id)) widget->setEnabled(enabled);
}

void QtWindowSystem::setControlTooltip(GuiItemId id, const std::string& text) {
    if (QWidget* widget = control(id)) widget->setToolTip(toQt(text));
}

bool QtWindowSystem::isChecked(GuiItemId id) const {
    const auto* box = controlAs<QCheckBox>(id);
    return box != nullptr && box->isChecked();
}

void QtWindowSystem::setChecked(GuiItemId id, bool checked) {
    if (auto* box = controlAs<QCheckBox>(id)) box->setChecked(checked);
}

void QtWindowSystem::setSliderPosition(GuiItemId id, int position) {
    // setValue clamps to the range and emits no user action.
    if (auto* slider = controlAs<QSlider>(id)) slider->setValue(position);
}

int QtWindowSystem::sliderPosition(GuiItemId id) const {
    const auto* slider = controlAs<QSlider>(id);
    return slider != nullptr ? slider->value() : 0;
}

void QtWindowSystem::insertListEntry(GuiItemId id, int index, const std::string& text) {
    auto* list = controlAs<QComboBox>(id);
    if (list == nullptr) return;
    if (index == -1) {
        list->addItem(toQt(text));
    } else if (index >= 0 && index <= list->count()) {
        list->insertItem(index, toQt(text));
    }
}

void QtWindowSystem::removeListEntry(GuiItemId id, int index) {
    auto* list = controlAs<QComboBox>(id);
    if (list == nullptr || index < 0 || index >= list->count()) return;
    const bool wasSelected = list->currentIndex() == index;
    list->removeItem(index);
    // Removing the selected entry leaves the list without a selection.
    if (wasSelected) list->setCurrentIndex(-1);
}

int QtWindowSystem::listCount(GuiItemId id) const {
    const auto* list = controlAs<QComboBox>(id);
    return list != nullptr ? list->count() : 0;
}

int QtWindowSystem::listSelection(GuiItemId id) const {
    const auto* list = controlAs<QComboBox>(id);
    return list != nullptr ? list->currentIndex() : -1;
}

void QtWindowSystem::selectListEntry(GuiItemId id, int index) {
    auto* list = controlAs<QComboBox>(id);
    if (list == nullptr) return;
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

std::string QtWindowSystem::listEntry(GuiItemId id, int index) const {
    const auto* list = controlAs<QComboBox>(id);
    if (list == nullptr || index < 0 || index >= list->count()) return std::string();
    return fromQt(list->itemText(index));
}

PixelSize QtWindowSystem::measureText(const std::string& text) const {
    const QSize size = QFontMetrics(guiFont()).size(0, toQt(text));
    return {size.width(), size.height()};
}

PixelSize QtWindowSystem::clientAreaSize() const {
    // Before the window has been laid out the client area's size means nothing.
    if (QLayout* layout = window_.layout()) layout->activate();
    return {clientArea_.width(), clientArea_.height()};
}

void QtWindowSystem::resizeClientArea(int width, int height) {
    if (QLayout* layout = window_.layout()) layout->activate();
    const int extraWidth = window_.width() - clientArea_.width();
    const int extraHeight = window_.height() - clientArea_.height();
    window_.resize(clampSize(width) + extraWidth, clampSize(height) + extraHeight);
    if (QLayout* layout = window_.layout()) layout->activate();
}

void QtWindowSystem::invalidate(const PixelRect& rect) { clientArea_.update(widgetRect(rect)); }

}  // namespace feltrix
