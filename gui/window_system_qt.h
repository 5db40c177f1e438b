#pragma once
// The window system of the script GUI on Qt: script-created controls are Qt
// widgets, children of the main window's client area, found by their item id
// and named "guiItem<id>" (tests find them by that name).
#include <QPointer>
#include <QWidget>

#include <map>

#include "gui/window_system.h"

class QMainWindow;

namespace feltrix {

class QtWindowSystem : public WindowSystem {
public:
    QtWindowSystem(QMainWindow& window, QWidget& clientArea);

    bool createControl(GuiItemKind kind, GuiItemId id, const std::string& text, const PixelRect& rect) override;
    void destroyControl(GuiItemId id) override;
    PixelSize controlSize(GuiItemId id) const override;
    void moveControl(GuiItemId id, int x, int y) override;
    void resizeControl(GuiItemId id, int width, int height) override;
    void setControlText(GuiItemId id, const std::string& text) override;
    void setControlEnabled(GuiItemId id, bool enabled) override;
    void setControlTooltip(GuiItemId id, const std::string& text) override;
    bool isChecked(GuiItemId id) const override;
    void setChecked(GuiItemId id, bool checked) override;
    void setSliderPosition(GuiItemId id, int position) override;
    int sliderPosition(GuiItemId id) const override;
    void insertListEntry(GuiItemId id, int index, const std::string& text) override;
    void removeListEntry(GuiItemId id, int index) override;
    int listCount(GuiItemId id) const override;
    int listSelection(GuiItemId id) const override;
    void selectListEntry(GuiItemId id, int index) override;
    std::string listEntry(GuiItemId id, int index) const override;
    PixelSize measureText(const std::string& text) const override;
    PixelSize clientAreaSize() const override;
    void resizeClientArea(int width, int height) override;
    void invalidate(const PixelRect& rect) override;

    // The control with this id, or null.
    QWidget* control(GuiItemId id) const;

private:
    template <typename Widget>
    Widget* controlAs(GuiItemId id) const;
    void placeDropdownList(GuiItemId id, const PixelRect& rect);

    QMainWindow& window_;
    QWidget& clientArea_;
    std::map<GuiItemId, QPointer<QWidget>> controls_;
    // Drop-down lists: the height asked for, that of the control with its list
    // opened (the closed control keeps its natural height).
    std::map<GuiItemId, int> listHeights_;
};

}  // namespace feltrix
