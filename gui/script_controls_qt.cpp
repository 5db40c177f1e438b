#include "gui/script_controls_qt.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "gui/gui_events.h"
#include "gui/layout.h"

namespace feltrix {
namespace {

// A page of the groove is a fifth of the range, a line one step.
constexpr int kSliderPageStep = kSliderMaximum / 5;

}  // namespace

ScriptCheckBox::ScriptCheckBox(GuiItemId id, const QString& text, QWidget* parent) : QCheckBox(text, parent) {
    connect(this, &QAbstractButton::clicked, this, [id] { deliverCheckboxClick(id); });
}

ScriptSlider::ScriptSlider(GuiItemId id, QWidget* parent) : QSlider(Qt::Horizontal, parent), id_(id) {
    setRange(0, kSliderMaximum);
    setSingleStep(1);
    setPageStep(kSliderPageStep);
    connect(this, &QAbstractSlider::actionTriggered, this, &ScriptSlider::onAction);
    // The end of a drag: the final position, once as the thumb's position and
    // once as the end of tracking.
    connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        const int position = sliderPosition();
        deliverSliderNotification(id_, position);
        deliverSliderNotification(id_, position);
    });
}

void ScriptSlider::onAction(int action) {
    // The slider position is already the new one; its value follows after.
    const int position = sliderPosition();
    deliverSliderNotification(id_, position);
    if (action != SliderMove) {
        endPending_ = true;  // groove click or key: reported again when it ends
    } else if (!isSliderDown()) {
        deliverSliderNotification(id_, position);  // wheel: a step and its end at once
    }
}

void ScriptSlider::finishPendingAction() {
    if (!endPending_) return;
    endPending_ = false;
    deliverSliderNotification(id_, value());
}

void ScriptSlider::mouseReleaseEvent(QMouseEvent* event) {
    QSlider::mouseReleaseEvent(event);
    finishPendingAction();
}

void ScriptSlider::keyReleaseEvent(QKeyEvent* event) {
    QSlider::keyReleaseEvent(event);
    if (!event->isAutoRepeat()) finishPendingAction();
}

}  // namespace feltrix
