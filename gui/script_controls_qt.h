#pragma once
// The Qt widgets behind script-created check boxes and sliders, where plain Qt
// behaviour differs from what scripts are used to.
#include <QCheckBox>
#include <QSlider>

#include "common/types.h"

namespace feltrix {

// A check box that does not toggle by itself: a click is reported and the
// program toggles the box before the script is told.
class ScriptCheckBox : public QCheckBox {
public:
    ScriptCheckBox(GuiItemId id, const QString& text, QWidget* parent);

protected:
    void nextCheckState() override {}
};

// A horizontal slider over 0..1000 that reports every user action the way
// scripts expect: a drag reports each step and then the final position twice;
// a click on the groove, a key or the wheel reports the new position and then
// once more when the action ends. Positions set by the program report nothing.
class ScriptSlider : public QSlider {
public:
    ScriptSlider(GuiItemId id, QWidget* parent);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void onAction(int action);
    void finishPendingAction();

    GuiItemId id_;
    bool endPending_ = false;
};

}  // namespace feltrix
