// The item registry and its layout arithmetic against a recording window
// system: ids, window growth per kind, placement and sizes, repaint areas,
// painting order.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "gui/item_registry.h"
#include "gui/layout.h"
#include "tests/gui/fake_window_system.h"

using feltrix::GuiColor;
using feltrix::GuiItemKind;
using feltrix::GuiItemRegistry;
using feltrix::PixelRect;
using feltrix::PixelSize;
using feltrix::testing::FakeWindowSystem;

namespace {

struct GrowthCase {
    const char* what;
    PixelSize clientBefore;
    std::function<void(GuiItemRegistry&)> create;
    PixelSize clientAfter;
};

}  // namespace

// Catches wrong margins per kind, growth from the wrong edge, shrinking, and a
// list's opened height counted as if it were on screen.
TEST(GuiLayout, WindowGrowsSoThatEachKindFits) {
    const GrowthCase cases[] = {
        // Text "abcd" is 28 x 15: box 54 x 17, needs right 555, bottom 188.
        {"check box", {512, 177}, [](GuiItemRegistry& r) { r.createCheckbox("abcd", 500, 170); }, {555, 188}},
        {"check box inside", {512, 177}, [](GuiItemRegistry& r) { r.createCheckbox("abcd", 10, 10); }, {512, 177}},
        {"push button", {512, 177}, [](GuiItemRegistry& r) { r.createPushButton("b", 480, 10, 100, 30); },
         {613, 177}},
        {"push button bottom", {512, 177}, [](GuiItemRegistry& r) { r.createPushButton("b", 0, 150, 10, 30); },
         {512, 181}},
        {"slider at y 180", {512, 177}, [](GuiItemRegistry& r) { r.createSlider("s", 10, 180, 0); }, {512, 231}},
        {"slider at the right", {512, 177}, [](GuiItemRegistry& r) { r.createSlider("s", 400, 0, 0); },
         {549, 177}},
        {"list height not counted", {512, 177},
         [](GuiItemRegistry& r) { r.createDropdownList("", 10, 10, 100, 200); }, {512, 177}},
        {"list at the corner", {512, 177},
         [](GuiItemRegistry& r) { r.createDropdownList("caption", 450, 150, 100, 200); }, {559, 183}},
        {"measured label", {512, 177}, [](GuiItemRegistry& r) { r.createLabel("abc", 500, 170, 0, 0); },
         {522, 186}},
        {"sized label", {512, 177}, [](GuiItemRegistry& r) { r.createLabel("abc", 500, 100, 40, 100); },
         {541, 201}},
        {"rectangle never grows", {512, 177},
         [](GuiItemRegistry& r) { r.createRectangle(1000, 1000, 50, 50, {}, 0); }, {512, 177}},
        {"never shrinks", {600, 300}, [](GuiItemRegistry& r) { r.createSlider("s", 0, 0, 0); }, {600, 300}},
        {"far away stops at the limit", {512, 177},
         [](GuiItemRegistry& r) { r.createSlider("s", INT_MAX, INT_MAX, 0); },
         {feltrix::kMaximumClientExtent, feltrix::kMaximumClientExtent}},
    };
    for (const GrowthCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeWindowSystem windows;
        windows.client = c.clientBefore;
        GuiItemRegistry registry(&windows);
        c.create(registry);
        EXPECT_EQ(windows.client.width, c.clientAfter.width);
        EXPECT_EQ(windows.client.height, c.clientAfter.height);
        if (c.clientBefore == c.clientAfter) {
            EXPECT_EQ(windows.resizeCount, 0);
        }
    }
}

// Catches measured sizes used the wrong way round and labels placed by their
// top when no height was given.
TEST(GuiLayout, ControlRectsPerKind) {
    FakeWindowSystem windows;
    GuiItemRegistry registry(&windows);
    const auto rectOf = [&](int id) { return windows.controls.at(id).rect; };

    EXPECT_EQ(rectOf(registry.createCheckbox("", 5, 6)), (PixelRect{5, 6, 26, 15}));
    EXPECT_EQ(rectOf(registry.createCheckbox("ab", 5, 6)), (PixelRect{5, 6, 40, 17}));
    EXPECT_EQ(rectOf(registry.createSlider("s", 7, 8, 250)), (PixelRect{7, 8, 148, 30}));
    EXPECT_EQ(rectOf(registry.createPushButton("p", 1, 2, 3, 4)), (PixelRect{1, 2, 3, 4}));
    // A text 15 high at y = 100 without a height: top 85, bottom 100.
    EXPECT_EQ(rectOf(registry.createLabel("abc", 10, 100, 0, 0)), (PixelRect{10, 85, 22, 15}));
    EXPECT_EQ(rectOf(registry.createLabel("abc", 10, 100, 50, 0)), (PixelRect{10, 85, 51, 15}));
    EXPECT_EQ(rectOf(registry.createLabel("abc", 10, 100, 0, 30)), (PixelRect{10, 100, 22, 30}));
    const int list = registry.createDropdownList("Caption", 20, 60, 120, 200);
    EXPECT_EQ(rectOf(list), (PixelRect{20, 60, 120, 200}));
    EXPECT_EQ(rectOf(list + 1), (PixelRect{20, 40, 120, 20}));
    EXPECT_EQ(windows.controls.at(list + 1).kind, GuiItemKind::Label);
    EXPECT_EQ(windows.controls.at(list + 1).text, "Caption");
    EXPECT_EQ(windows.sliderPosition(1026), 250);
}

// Catches reused or reset ids, a caption that takes no id, ids skipped by a
// failed creation, and registry entries for controls that do not exist.
TEST(GuiRegistry, IdsComeFrom1024UpAndAreNeverReused) {
    FakeWindowSystem windows;
    GuiItemRegistry registry(&windows);
    EXPECT_EQ(registry.createCheckbox("a", 0, 0), 1024);
    EXPECT_EQ(registry.createDropdownList("with caption", 0, 40, 50, 100), 1025);
    EXPECT_NE(registry.findGuiItem(1026), nullptr);  // the caption
    EXPECT_EQ(registry.createDropdownList("", 0, 80, 50, 100), 1027);
    EXPECT_EQ(registry.createRectangle(0, 0, 1, 1, {}, 0), 1028);

    windows.failCreation = true;
    EXPECT_EQ(registry.createPushButton("p", 0, 0, 10, 10), -1);
    EXPECT_EQ(registry.findGuiItem(1029), nullptr);
    EXPECT_EQ(registry.createDropdownList("lost caption", 0, 0, 10, 10), -1);
    EXPECT_EQ(registry.findGuiItem(1031), nullptr);
    EXPECT_EQ(registry.createLabel("labels are kept", 0, 20, 0, 0), 1031);  // never checked
    EXPECT_NE(registry.findGuiItem(1031), nullptr);
    windows.failCreation = false;

    registry.resetGui();
    EXPECT_EQ(registry.size(), 0u);
    EXPECT_TRUE(windows.controls.empty());
    EXPECT_EQ(registry.createSlider("s", 0, 0, 0), 1032);
    registry.resetGui();
    registry.resetGui();  // empty: nothing happens
    EXPECT_EQ(registry.nextId(), 1033);
}

// Catches removal of the caption with its list, lookups that insert entries,
// and operations on unknown ids that touch anything.
TEST(GuiRegistry, RemovalAndUnknownIds) {
    FakeWindowSystem windows;
    GuiItemRegistry registry(&windows);
    const int list = registry.createDropdownList("Caption", 0, 40, 50, 100);
    registry.removeGuiItem(list);
    EXPECT_EQ(registry.findGuiItem(list), nullptr);
    EXPECT_EQ(windows.controls.count(list), 0u);
    EXPECT_NE(registry.findGuiItem(list + 1), nullptr);
    EXPECT_EQ(windows.controls.count(list + 1), 1u);

    const std::size_t before = registry.size();
    EXPECT_EQ(registry.findGuiItem(4000), nullptr);
    registry.removeGuiItem(4000);
    registry.setItemSize(4000, 1, 1);
    registry.setItemPosition(4000, 1, 1);
    registry.setRectangleColor(4000, {});
    registry.setItemHidden(4000, true);
    registry.setItemEnabled(4000, false);
    registry.setTooltip(4000, "t");
    registry.insertDropdownListEntry(4000, "e", -1, true);
    registry.setItemText(4000, "t");
    EXPECT_EQ(registry.size(), before);
    EXPECT_EQ(registry.findGuiItem(4000), nullptr);
}

// Catches a width of 0 that shrinks a control to nothing, a rectangle whose 0
// is not stored, and repaint areas that miss the uncovered strips.
TEST(GuiRegistry, SizeAndPositionChanges) {
    FakeWindowSystem windows;
    GuiItemRegistry registry(&windows);
    const int button = registry.createPushButton("p", 10, 10, 80, 30);
    registry.setItemSize(button, 0, 40);
    EXPECT_EQ(windows.controls.at(button).rect, (PixelRect{10, 10, 80, 40}));
    registry.setItemSize(button, 90, -1);
    EXPECT_EQ(windows.controls.at(button).rect, (PixelRect{10, 10, 90, 40}));
    registry.setItemPosition(button, 200, 300);
    EXPECT_EQ(windows.controls.at(button).rect, (PixelRect{200, 300, 90, 40}));
    EXPECT_EQ(windows.resizeCount, 0);  // moving and resizing never grow the window

    const int rect = registry.createRectangle(10, 20, 100, 50, {}, 0);
    EXPECT_EQ(windows.invalidated.back(), (PixelRect{10, 20, 100, 50}));
    windows.invalidated.clear();
    registry.setItemSize(rect, 60, 80);
    ASSERT_EQ(windows.invalidated.size(), 2u);
    EXPECT_EQ(windows.invalidated[0], (PixelRect{70, 20, 40, 80}));   // width strip
    EXPECT_EQ(windows.invalidated[1], (PixelRect{10, 70, 100, 30}));  // height strip
    windows.invalidated.clear();
    registry.setItemPosition(rect, 300, 5);
    ASSERT_EQ(windows.invalidated.size(), 2u);
    EXPECT_EQ(windows.invalidated[0], (PixelRect{10, 20, 60, 80}));
    EXPECT_EQ(windows.invalidated[1], (PixelRect{300, 5, 60, 80}));
    windows.invalidated.clear();
    registry.setRectangleColor(rect, {0xFF00, 0, 0, 0});
    ASSERT_EQ(windows.invalidated.size(), 1u);
    EXPECT_EQ(windows.invalidated[0], (PixelRect{300, 5, 60, 80}));
    EXPECT_EQ(registry.findGuiItem(rect)->rectangle->color.red, 0xFF00);

    registry.setItemSize(rect, 0, 80);
    EXPECT_EQ(registry.findGuiItem(rect)->rectangle->width, 0);
    EXPECT_TRUE(registry.rectanglesToPaint().empty());
    windows.invalidated.clear();
    registry.setItemHidden(rect, true);
    EXPECT_TRUE(windows.invalidated.empty());  // shows at the next repaint
    registry.removeGuiItem(rect);
    EXPECT_EQ(windows.invalidated.size(), 0u);  // an empty area needs no repaint
}

// Catches painting in id order only, unstable order for equal depths, and
// hidden rectangles that are still painted.
TEST(GuiRegistry, RectanglesPaintInDepthThenIdOrder) {
    FakeWindowSystem windows;
    GuiItemRegistry registry(&windows);
    const int top = registry.createRectangle(0, 0, 10, 10, {}, 5);
    const int lowA = registry.createRectangle(0, 0, 10, 10, {}, -2);
    registry.createCheckbox("a control is not painted", 0, 0);
    const int mid = registry.createRectangle(0, 0, 10, 10, {}, 1);
    const int lowB = registry.createRectangle(0, 0, 10, 10, {}, -2);
    const int hidden = registry.createRectangle(0, 0, 10, 10, {}, 3);
    registry.setItemHidden(hidden, true);
    std::vector<int> order;
    for (const auto& r : registry.rectanglesToPaint()) order.push_back(r.id);
    EXPECT_EQ(order, (std::vector<int>{lowA, lowB, mid, top}));
    registry.setItemHidden(hidden, false);
    EXPECT_EQ(registry.rectanglesToPaint().size(), 5u);
}

// Catches a first entry left unselected, appends selected at the wrong index,
// and selections that the select flag does not make.
TEST(GuiRegistry, DropdownEntriesAndSelection) {
    FakeWindowSystem windows;
    GuiItemRegistry registry(&windows);
    const int list = registry.createDropdownList("", 0, 0, 100, 100);
    EXPECT_EQ(windows.listSelection(list), -1);
    registry.insertDropdownListEntry(list, "one", -1, false);
    EXPECT_EQ(windows.listSelection(list), 0);  // the first entry is always selected
    registry.insertDropdownListEntry(list, "two", -1, false);
    EXPECT_EQ(windows.listSelection(list), 0);
    registry.insertDropdownListEntry(list, "three", -1, true);
    EXPECT_EQ(windows.listSelection(list), 2);
    registry.insertDropdownListEntry(list, "zero", 0, true);
    EXPECT_EQ(windows.listSelection(list), 0);
    EXPECT_EQ(windows.controls.at(list).entries, (std::vector<std::string>{"zero", "one", "two", "three"}));
    registry.insertDropdownListEntry(list, "beyond", 9, true);  // inserts nothing, selects nothing
    EXPECT_EQ(windows.listCount(list), 4);
    EXPECT_EQ(windows.listSelection(list), -1);
}

// Catches a new main window that inherits items whose controls it lacks.
TEST(GuiRegistry, AnotherWindowSystemStartsEmptyAndKeepsCounting) {
    FakeWindowSystem first;
    FakeWindowSystem second;
    GuiItemRegistry registry(&first);
    registry.createCheckbox("a", 0, 0);
    registry.setWindowSystem(&second);
    EXPECT_EQ(registry.size(), 0u);
    EXPECT_EQ(registry.createCheckbox("b", 0, 0), 1025);
    EXPECT_EQ(second.controls.count(1025), 1u);
}
