// The GUI functions as scripts see them, run by the real program (offscreen, automation on): argument,
// kind and id checks and drop-down lists. (A chosen file and a message box: gui_window_test_qt.cpp.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

using namespace feltrix::testing;
using Lines = std::vector<std::string>;

namespace {

// say() prints one line marked with "|" (other console output is ignored);
// try() says the error of a call, or "ok".
const char* kPrelude = R"lua(
function say(...)
  local parts = {...} for i = 1, select("#", ...) do parts[i] = tostring(parts[i]) end
  print("|" .. table.concat(parts, " ")) end
function try(f, ...) local ok, message = pcall(f, ...) say(ok and "ok" or message) end
function FeltrixUpdateCallback() exit() end
)lua";

// Runs the script; returns the lines it said, without their marks.
Lines said(const std::string& body) {
    TempDir dir;
    const RunResult r = runFeltrix(dir, std::string(kPrelude) + body);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    Lines out;
    for (const std::string& line : lines(r.out))
        if (!line.empty() && line[0] == '|') out.push_back(line.substr(1));
    return out;
}

// A Lua call and what try() says about it.
struct Call { std::string lua, outcome; };

}  // namespace

// Catches wrong argument positions, names, kinds or types ("nil" vs "no value"), wrong-kind or unknown ids
// passed or refused wrongly, and failed calls that create an item. (Every function is called here.)
TEST(GuiScript, ArgumentItemKindAndIdChecks) {
    std::vector<Call> calls = {  // each outcome after "incorrect argument #"
        {"addCheckboxInternal({}, 1, 1)", "1 to luaAddCheckbox: string expected, got table"},
        {"checkCheckboxInternal(box, 1)", "2 to luaCheckCheckbox: boolean expected, got number"},
        {"addSliderInternal('s', {}, '', 1, 1, 0)", "2 to luaAddSlider: string expected, got table"},
        {"addDropdownListInternal('c', 1, 2, 3)", "5 to luaAddDropdownList: number expected, got nil"},
        {"addDropdownListItemInternal(list, 'x', -1, 1)", "4 to luaAddDropdownListItem: boolean expected, got number"},
        {"getDropdownListCountInternal(true)", "1 to luaGetDropdownListCount: number expected, got boolean"},
        {"getDropdownListItemInternal(list)", "2 to luaGetDropdownListItem: number expected, got nil"},
        {"getDropdownListSelectionInternal()", "1 to luaGetDropdownListSelection: number expected, got nil"},
        {"removeDropdownListItemInternal(list, 'x')", "2 to luaRemoveDropdownListItem: number expected, got string"},
        {"selectDropdownListItemInternal(nil, 0)", "1 to luaSelectDropdownListItem: number expected, got nil"},
        {"addPushButtonInternal('p', 1, 2)", "4 to luaAddPushButton: number expected, got nil"},
        {"addLabelInternal('l', 1, 2)", "4 to luaAddLabel: number expected, got no value"},
        {"addLabelInternal('l', 1, 2, 3)", "5 to luaAddLabel: number expected, got no value"},
        {"addLabelInternal('l', 1, 2, nil, 3)", "4 to luaAddLabel: number expected, got nil"},
        {"addLabelInternal('l', 1)", "3 to luaAddLabel: number expected, got nil"},
        {"addRectangleInternal(1, 2, 3, 4, 5, 6, 7, 8)", "9 to luaAddRectangle: number expected, got nil"},
        {"setLabelTextInternal(box)", "2 to luaSetLabelText: string expected, got nil"},
        {"setTooltipInternal(box, {})", "2 to luaSetTooltip: string expected, got table"},
        {"removeGuiItemInternal()", "1 to luaRemoveGuiItem: number expected, got nil"},
        {"setGuiItemPositionInternal(box, 1)", "3 to luaSetItemPosition: number expected, got nil"},
        {"setItemSizeInternal(box, 'wide', 1)", "2 to luaSetItemSize: number expected, got string"},
        {"setItemEnabledInternal(box)", "2 to luaSetItemEnabled: boolean expected, got nil"},
        {"setItemColorInternal(box, 1, 2)", "4 to luaSetItemColor: number expected, got no value"},
        {"setItemColorInternal(box, 1, 2, 3)", "5 to luaSetItemColor: number expected, got no value"},
        {"setItemColorInternal(box)", "2 to luaSetItemColor: number expected, got nil"},
        {"setItemHiddenInternal('x', true)", "1 to luaSetItemHidden: number expected, got string"},
        {"setSliderPositionInternal(box)", "2 to luaSetSliderPosition: number expected, got nil"},
        {"messageBox()", "1 to luaMessageBox: string expected, got nil"},
    };
    for (Call& c : calls) c.outcome = "incorrect argument #" + c.outcome;
    calls.insert(calls.end(), {{"setItemColorInternal(label, 1, 2, 3, 4)", "item does not support color"},
                               {"checkCheckboxInternal(label, true)", "gui item 1025 is not a checkbox"},
                               {"resetGuiInternal()", "ok"}});  // ids go on counting after it
    for (const char* call : {"setItemColorInternal(9999, 1, 2, 3, 4)", "checkCheckboxInternal(9999, true)",
                             "setItemHiddenInternal(9999, true)", "setItemEnabledInternal(9999, true)",
                             "setGuiItemPositionInternal(9999, 1, 2)", "setItemSizeInternal(9999, 1, 2)",
                             "addDropdownListItemInternal(9999, 'x', -1, true)", "setTooltipInternal(9999, 'tip')"})
        calls.insert(calls.end() - 1, {call, "no gui item with id 9999"});
    for (const char* call : {"setItemColorInternal(rect, 0x10000 + 0xFF00, 0, 0, 0)", "setTooltipInternal(box, 't')",
                             "setTooltipInternal(rect, 'a rectangle has no window')", "setItemHiddenInternal(box, true)",
                             "setSliderPositionInternal(9999, 5)", "setSliderPositionInternal(label, 5)",
                             "setLabelTextInternal(9999, 'no window')", "setItemEnabledInternal(rect, false)",
                             "setSliderPositionInternal(slider, 2000)", "messageBox('Saved ✓')",
                             // without answers a dialog is cancelled: nothing is returned
                             "assert(select('#', openFileDialogScript()) + select('#', openFileDialog()) == 0)",
                             "assert(select('#', openFileDialogConfig()) == 0)"})
        calls.insert(calls.end() - 1, {call, "ok"});
    std::string script = R"lua(
box = addCheckboxInternal("box", 10, 10)
label = addLabelInternal("label", 10, 60, 0, 0)
rect = addRectangleInternal(200, 10, 20, 20, 0xFF00, 0, 0, 0, 1)
slider = addSliderInternal("s", "", "", 10, 90, 0.25)
list = addDropdownListInternal("", 10, 60, 100, 100)
)lua";
    for (const Call& c : calls) script += "try(function() return " + c.lua + " end)\n";
    // The id the next label gets shows that no failed call created an item.
    const Lines got = said(script + "say(addLabelInternal('x', 0, 30, 0, 0))\n");
    ASSERT_EQ(got.size(), calls.size() + 1) << testing::PrintToString(got);
    for (std::size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(got[i], calls[i].outcome) << calls[i].lua;
    EXPECT_EQ(got.back(), "1029");
}

// Catches off-by-one index checks, the count missing from the message,
// selections reported wrongly and texts that do not survive the round trip.
TEST(GuiScript, DropdownListEntriesAndIndexErrors) {
    EXPECT_EQ(said(R"lua(
local list = addDropdownListInternal("Sounds", 10, 60, 150, 200)
say(getDropdownListCountInternal(list), getDropdownListSelectionInternal(list))
addDropdownListItemInternal(list, "Rain", -1, false)
say(getDropdownListCountInternal(list), getDropdownListSelectionInternal(list))
addDropdownListItemInternal(list, "Grüße", -1, false) addDropdownListItemInternal(list, 3.5, -1, true)
say(getDropdownListSelectionInternal(list), getDropdownListItemInternal(list, 2), getDropdownListItemInternal(list, 1))
try(getDropdownListItemInternal, list, 3) try(getDropdownListItemInternal, list, -1)
try(removeDropdownListItemInternal, list, 7) try(selectDropdownListItemInternal, list, -2)
addDropdownListItemInternal(list, "Wind", 0, false)
say(getDropdownListItemInternal(list, 0), getDropdownListSelectionInternal(list))
selectDropdownListItemInternal(list, 1) removeDropdownListItemInternal(list, 0)
say(getDropdownListCountInternal(list), getDropdownListSelectionInternal(list), getDropdownListItemInternal(list, 0))
addDropdownListItemInternal(list, "beyond", 9, true)  -- inserts nothing, selects nothing
say(getDropdownListCountInternal(list), getDropdownListSelectionInternal(list))
-- The caption is a label of its own: a list call on it finds no entries.
say(getDropdownListCountInternal(list + 1), getDropdownListCountInternal(5000), getDropdownListSelectionInternal(5000))
try(getDropdownListItemInternal, list + 1, 0)
)lua"),
              (Lines{"0 -1", "1 0", "2 3.5 " + listEntryAsScriptsRead("Grüße"), "invalid list index: 3 (list has only 3 elements)",
                     "invalid list index: -1", "invalid list index: 7 (list has only 3 elements)",
                     "invalid list index: -2", "Wind 3", "3 0 Rain", "3 -1", "0 0 -1",
                     "invalid list index: 0 (list has only 0 elements)"}));
}
