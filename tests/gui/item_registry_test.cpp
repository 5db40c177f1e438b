// The item registry and its layout arithmetic against an in-memory window system: ids, window growth
// per kind, placement and sizes, repaint areas.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "gui/item_registry.h"
#include "gui/layout.h"
#include "gui/memory_window_system.h"

using namespace feltrix;

// Catches wrong margins per kind, growth from the wrong edge, shrinking, a list's opened height counted,
// measured sizes used the wrong way round, labels without a height placed by their top, overflowing edges
// (saturated; the sanitizer build sees any overflow). Text is 7 px a byte, 15 px high.
TEST(GuiLayout, ControlRectsAndWindowGrowthPerKind) {
    using R = GuiItemRegistry&;
    const int max = kMaximumClientExtent;
    const struct {
        const char* what;
        std::function<int(R)> create;  // gives the id of the control whose rectangle is checked
        PixelRect rect;
        PixelSize after, before = {512, 177};
    } cases[] = {
        {"check box", [](R r) { return r.createCheckbox("abcd", 500, 170); }, {500, 170, 54, 17}, {555, 188}},
        {"empty box", [](R r) { return r.createCheckbox("", 5, 6); }, {5, 6, 26, 15}, {512, 177}},
        {"button", [](R r) { return r.createPushButton("b", 480, 10, 100, 30); }, {480, 10, 100, 30}, {613, 177}},
        {"low button", [](R r) { return r.createPushButton("b", 0, 150, 10, 30); }, {0, 150, 10, 30}, {512, 181}},
        {"low slider", [](R r) { return r.createSlider("s", 10, 180, 0); }, {10, 180, 148, 30}, {512, 231}},
        {"right slider", [](R r) { return r.createSlider("s", 400, 0, 0); }, {400, 0, 148, 30}, {549, 177}},
        {"list", [](R r) { return r.createDropdownList("", 10, 10, 100, 200); }, {10, 10, 100, 200}, {512, 177}},
        {"caption", [](R r) { return r.createDropdownList("c", 450, 150, 100, 200) + 1; }, {450, 130, 100, 20},
         {559, 183}},
        // A text 15 high at y = 170 without a height: top 155, bottom 170.
        {"label", [](R r) { return r.createLabel("abc", 500, 170, 0, 0); }, {500, 155, 22, 15}, {522, 186}},
        {"sized label", [](R r) { return r.createLabel("abc", 500, 100, 40, 100); }, {500, 100, 41, 100}, {541, 201}},
        {"rectangle", [](R r) { return r.createRectangle(1000, 1000, 50, 50, {}, 0); }, {}, {512, 177}},
        {"never shrinks", [](R r) { return r.createSlider("s", 0, 0, 0); }, {0, 0, 148, 30}, {600, 300}, {600, 300}},
        {"limit", [](R r) { return r.createSlider("s", INT_MAX, INT_MAX, 0); }, {}, {max, max}},
        {"huge box", [](R r) { return r.createCheckbox("a", INT_MAX, INT_MAX); }, {}, {max, max}},
        {"huge button", [](R r) { return r.createPushButton("b", 9, INT_MAX, INT_MAX, INT_MAX); }, {}, {max, max}},
        {"huge list", [](R r) { return r.createDropdownList("", INT_MAX, 9, 1, INT_MAX); }, {}, {max, 177}},
        {"huge label", [](R r) { return r.createLabel("l", INT_MAX, 9, INT_MAX, INT_MAX); }, {}, {max, max}},
        {"far above", [](R r) { return r.createLabel("l", INT_MIN, INT_MIN, INT_MAX, 0); }, {}, {512, 177}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryWindowSystem windows;
        windows.client = c.before;
        GuiItemRegistry registry(&windows);
        const int id = c.create(registry);
        if (c.rect.width > 0) { EXPECT_EQ(windows.controls.at(id).rect, c.rect); }
        EXPECT_EQ(windows.client, c.after);
        if (c.before == c.after) { EXPECT_EQ(windows.resizeCount, 0); }
    }
}

// Catches reused, reset or skipped ids, entries for controls that do not exist, a caption removed with
// its list, and a new main window that inherits items whose controls it lacks.
TEST(GuiRegistry, IdsComeFrom1024UpAndAreNeverReused) {
    MemoryWindowSystem windows;
    GuiItemRegistry registry(&windows);
    EXPECT_EQ(registry.createCheckbox("a", 0, 0), 1024);
    EXPECT_EQ(registry.createDropdownList("with caption", 0, 40, 50, 100), 1025);
    registry.removeGuiItem(1025);
    EXPECT_EQ(windows.controls.count(1025), 0u);
    EXPECT_NE(registry.findGuiItem(1026), nullptr);  // the caption stays
    EXPECT_EQ(windows.controls.count(1026), 1u);
    windows.failCreation = true;
    EXPECT_EQ(registry.createPushButton("p", 0, 0, 10, 10), -1);
    EXPECT_EQ(registry.findGuiItem(1027), nullptr);
    EXPECT_EQ(registry.createDropdownList("lost caption", 0, 0, 10, 10), -1);
    EXPECT_EQ(registry.findGuiItem(1029), nullptr);
    EXPECT_EQ(registry.createLabel("labels are kept", 0, 20, 0, 0), 1029);  // never checked
    windows.failCreation = false;
    registry.resetGui();
    EXPECT_EQ(registry.size(), 0u);
    EXPECT_TRUE(windows.controls.empty());
    EXPECT_EQ(registry.createSlider("s", 0, 0, 0), 1030);
    MemoryWindowSystem second;
    registry.setWindowSystem(&second);
    EXPECT_EQ(registry.size(), 0u);
    EXPECT_EQ(registry.createCheckbox("b", 0, 0), 1031);
    EXPECT_EQ(second.controls.count(1031), 1u);
}

// Catches a width of 0 that shrinks a control to nothing, moves that grow the
// window, and repaint areas that miss the uncovered strips or the old place.
TEST(GuiRegistry, SizeAndPositionChanges) {
    MemoryWindowSystem windows;
    GuiItemRegistry registry(&windows);
    const int button = registry.createPushButton("p", 10, 10, 80, 30);
    registry.setItemSize(button, 0, 40);
    registry.setItemPosition(button, 600, 300);
    EXPECT_EQ(windows.controls.at(button).rect, (PixelRect{600, 300, 80, 40}));
    EXPECT_EQ(windows.resizeCount, 0);
    const int rect = registry.createRectangle(10, 20, 100, 50, {}, 0);
    windows.invalidated.clear();
    registry.setItemSize(rect, 60, 80);
    registry.setItemPosition(rect, 300, 5);
    EXPECT_EQ(windows.invalidated,
              (std::vector<PixelRect>{{70, 20, 40, 80}, {10, 70, 100, 30}, {10, 20, 60, 80}, {300, 5, 60, 80}}));
    registry.setItemSize(rect, 0, 80);
    EXPECT_TRUE(registry.rectanglesToPaint().empty());
}
