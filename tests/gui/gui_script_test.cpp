// The GUI functions as scripts see them, run by the real program (offscreen,
// automation on): ids, argument checks, drop-down lists, colours, check boxes
// with nested callbacks, file dialogs and message boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

using namespace feltrix::testing;

namespace {

// Every test script starts with this: say() prints one line marked with "|",
// so that other console output (audio diagnostics) does not get in the way;
// try() says the error of a call that should fail, or "ok".
const char* kPrelude = R"lua(
function say(...)
  local parts = {}
  for i = 1, select("#", ...) do parts[#parts + 1] = tostring((select(i, ...))) end
  print("|" .. table.concat(parts, " "))
end
function try(f, ...)
  local ok, message = pcall(f, ...)
  say(ok and "ok" or message)
end
function FeltrixUpdateCallback() exit() end
)lua";

// The lines the script said, without their marks.
std::vector<std::string> said(const RunResult& result) {
    std::vector<std::string> out;
    for (const std::string& line : lines(result.out)) {
        if (!line.empty() && line[0] == '|') out.push_back(line.substr(1));
    }
    return out;
}

RunResult runScript(const TempDir& dir, const std::string& body, RunOptions options = {}) {
    return runFeltrix(dir, std::string(kPrelude) + body, std::move(options));
}

}  // namespace

// Catches missing or misnamed registrations, ids that do not start at 1024 or
// skip, a caption without an id of its own, and a counter reset by resetGui.
TEST(GuiScript, EveryFunctionIsRegisteredAndIdsCountUp) {
    TempDir dir;
    const RunResult r = runScript(dir, R"lua(
local names = {"addCheckboxInternal", "checkCheckboxInternal", "addSliderInternal", "addDropdownListInternal",
  "addDropdownListItemInternal", "getDropdownListCountInternal", "getDropdownListItemInternal",
  "getDropdownListSelectionInternal", "removeDropdownListItemInternal", "selectDropdownListItemInternal",
  "addPushButtonInternal", "addLabelInternal", "addRectangleInternal", "setLabelTextInternal",
  "setTooltipInternal", "openFileDialog", "openFileDialogScript", "openFileDialogConfig",
  "removeGuiItemInternal", "setGuiItemPositionInternal", "resetGuiInternal", "setItemSizeInternal",
  "setItemEnabledInternal", "setItemColorInternal", "setItemHiddenInternal", "setSliderPositionInternal",
  "loadConfig", "saveConfig", "messageBox"}
local missing = {}
for _, name in ipairs(names) do
  if type(_G[name]) ~= "function" then missing[#missing + 1] = name end
end
say("missing", table.concat(missing, ","))
say(addCheckboxInternal("first", 10, 10), addPushButtonInternal("second", 10, 40, 80, 25))
say(addDropdownListInternal("Caption", 10, 100, 120, 200), addSliderInternal("s", "", "", 10, 130, 0.5))
say(addDropdownListInternal("", 200, 100, 120, 200), addRectangleInternal(0, 0, 5, 5, 0, 0, 0, 0, 0))
say(addLabelInternal(42, 300, 40, 0, 0), addCheckboxInternal(7, "300", "60"))
resetGuiInternal()
resetGuiInternal()
say(addLabelInternal("after reset", 10, 40, 0, 0))
try(removeGuiItemInternal, 1024)
)lua");
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(said(r), (std::vector<std::string>{"missing ", "1024 1025", "1026 1028", "1029 1030", "1031 1032",
                                                 "1033", "no gui item with id 1024"}));
}

// Catches wrong argument positions, function names, kinds or type names in
// the messages, "nil" where an absent slot is named "no value" and the other
// way round, and calls that change something before they fail.
TEST(GuiScript, ArgumentErrorsNameTheArgumentFunctionAndType) {
    TempDir dir;
    const RunResult r = runScript(dir, R"lua(
local box = addCheckboxInternal("box", 10, 10)
local list = addDropdownListInternal("", 10, 60, 100, 100)
local calls = {
  function() return addCheckboxInternal({}, 1, 1) end,
  function() return addCheckboxInternal("only text") end,
  function() return checkCheckboxInternal(box, nil) end,
  function() return checkCheckboxInternal(box, 1) end,
  function() return addSliderInternal("s", {}, "", 1, 1, 0) end,
  function() return addSliderInternal("s", "", "", 1, 1) end,
  function() return addDropdownListInternal("c", 1, 2, 3) end,
  function() return addDropdownListItemInternal(list, "x", -1, 1) end,
  function() return addDropdownListItemInternal(list, print) end,
  function() return getDropdownListCountInternal(true) end,
  function() return getDropdownListItemInternal(list) end,
  function() return getDropdownListSelectionInternal() end,
  function() return removeDropdownListItemInternal(list, "x") end,
  function() return selectDropdownListItemInternal(nil, 0) end,
  function() return addPushButtonInternal("p", 1, 2) end,
  function() return addLabelInternal("l", 1, 2) end,
  function() return addLabelInternal("l", 1, 2, 3) end,
  function() return addLabelInternal("l", 1, 2, nil, 3) end,
  function() return addLabelInternal("l", 1) end,
  function() return addRectangleInternal(1, 2, 3, 4, 5, 6, 7, 8) end,
  function() return setLabelTextInternal(box) end,
  function() return setTooltipInternal(box, {}) end,
  function() return removeGuiItemInternal() end,
  function() return setGuiItemPositionInternal(box, 1) end,
  function() return setItemSizeInternal(box, "wide", 1) end,
  function() return setItemEnabledInternal(box) end,
  function() return setItemColorInternal(box, 1, 2) end,
  function() return setItemColorInternal(box, 1, 2, 3) end,
  function() return setItemColorInternal(box) end,
  function() return setItemHiddenInternal("x", true) end,
  function() return setSliderPositionInternal(box) end,
  function() return messageBox() end,
}
for _, call in ipairs(calls) do try(call) end
say("next id", addLabelInternal("x", 0, 30, 0, 0))
)lua");
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(said(r), (std::vector<std::string>{
                           "incorrect argument #1 to luaAddCheckbox: string expected, got table",
                           "incorrect argument #2 to luaAddCheckbox: number expected, got nil",
                           "incorrect argument #2 to luaCheckCheckbox: boolean expected, got nil",
                           "incorrect argument #2 to luaCheckCheckbox: boolean expected, got number",
                           "incorrect argument #2 to luaAddSlider: string expected, got table",
                           "incorrect argument #6 to luaAddSlider: number expected, got nil",
                           "incorrect argument #5 to luaAddDropdownList: number expected, got nil",
                           "incorrect argument #4 to luaAddDropdownListItem: boolean expected, got number",
                           "incorrect argument #2 to luaAddDropdownListItem: string expected, got function",
                           "incorrect argument #1 to luaGetDropdownListCount: number expected, got boolean",
                           "incorrect argument #2 to luaGetDropdownListItem: number expected, got nil",
                           "incorrect argument #1 to luaGetDropdownListSelection: number expected, got nil",
                           "incorrect argument #2 to luaRemoveDropdownListItem: number expected, got string",
                           "incorrect argument #1 to luaSelectDropdownListItem: number expected, got nil",
                           "incorrect argument #4 to luaAddPushButton: number expected, got nil",
                           "incorrect argument #4 to luaAddLabel: number expected, got no value",
                           "incorrect argument #5 to luaAddLabel: number expected, got no value",
                           "incorrect argument #4 to luaAddLabel: number expected, got nil",
                           "incorrect argument #3 to luaAddLabel: number expected, got nil",
                           "incorrect argument #9 to luaAddRectangle: number expected, got nil",
                           "incorrect argument #2 to luaSetLabelText: string expected, got nil",
                           "incorrect argument #2 to luaSetTooltip: string expected, got table",
                           "incorrect argument #1 to luaRemoveGuiItem: number expected, got nil",
                           "incorrect argument #3 to luaSetItemPosition: number expected, got nil",
                           "incorrect argument #2 to luaSetItemSize: number expected, got string",
                           "incorrect argument #2 to luaSetItemEnabled: boolean expected, got nil",
                           "incorrect argument #4 to luaSetItemColor: number expected, got no value",
                           "incorrect argument #5 to luaSetItemColor: number expected, got no value",
                           "incorrect argument #2 to luaSetItemColor: number expected, got nil",
                           "incorrect argument #1 to luaSetItemHidden: number expected, got string",
                           "incorrect argument #2 to luaSetSliderPosition: number expected, got nil",
                           "incorrect argument #1 to luaMessageBox: string expected, got nil",
                           "next id 1026",
                       }));
}

// Catches off-by-one index checks, the count missing from the message,
// selections reported wrongly and texts that do not survive the round trip.
TEST(GuiScript, DropdownListEntriesAndIndexErrors) {
    TempDir dir;
    const RunResult r = runScript(dir, R"lua(
local list = addDropdownListInternal("Sounds", 10, 60, 150, 200)
say(getDropdownListCountInternal(list), getDropdownListSelectionInternal(list))
addDropdownListItemInternal(list, "Rain", -1, false)
say(getDropdownListCountInternal(list), getDropdownListSelectionInternal(list))
addDropdownListItemInternal(list, "Grüße", -1, false)
addDropdownListItemInternal(list, 3.5, -1, true)
say(getDropdownListSelectionInternal(list), getDropdownListItemInternal(list, 2), getDropdownListItemInternal(list, 1))
try(getDropdownListItemInternal, list, 3)
try(getDropdownListItemInternal, list, -1)
try(removeDropdownListItemInternal, list, 7)
try(selectDropdownListItemInternal, list, -2)
addDropdownListItemInternal(list, "Wind", 0, false)
say(getDropdownListItemInternal(list, 0), getDropdownListSelectionInternal(list))
selectDropdownListItemInternal(list, 1)
removeDropdownListItemInternal(list, 0)
say(getDropdownListCountInternal(list), getDropdownListSelectionInternal(list), getDropdownListItemInternal(list, 0))
-- The caption is a label of its own: a list call on it finds no entries.
say(getDropdownListCountInternal(list + 1))
try(getDropdownListItemInternal, list + 1, 0)
-- Unknown ids: reads find nothing, changes are refused, nothing is added.
say(getDropdownListCountInternal(5000), getDropdownListSelectionInternal(5000))
try(addDropdownListItemInternal, 5000, "x", -1, true)
say("next id", addLabelInternal("x", 0, 30, 0, 0))
)lua");
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(said(r), (std::vector<std::string>{
                           "0 -1",
                           "1 0",
                           "2 3.5 Grüße",
                           "invalid list index: 3 (list has only 3 elements)",
                           "invalid list index: -1",
                           "invalid list index: 7 (list has only 3 elements)",
                           "invalid list index: -2",
                           "Wind 3",
                           "3 0 Rain",
                           "0",
                           "invalid list index: 0 (list has only 0 elements)",
                           "0 -1",
                           "no gui item with id 5000",
                           "next id 1026",
                       }));
}

// Catches colour set on controls, check-box calls on other kinds, callbacks
// for a state the box already has, unknown ids that pass silently where an
// item is needed, and calls that fail where nothing is to be done.
TEST(GuiScript, ItemKindAndIdChecks) {
    TempDir dir;
    const RunResult r = runScript(dir, R"lua(
function FeltrixGuiMessageCallback(...) say("callback", ...) end
local box = addCheckboxInternal("box", 10, 10)
local label = addLabelInternal("label", 10, 60, 0, 0)
local rect = addRectangleInternal(200, 10, 20, 20, 0xFF00, 0, 0, 0, 1)
local slider = addSliderInternal("s", "", "", 10, 90, 0.25)
try(setItemColorInternal, label, 1, 2, 3, 4)
try(setItemColorInternal, rect, 0x10000 + 0xFF00, 0, 0, 0)
try(setItemColorInternal, 9999, 1, 2, 3, 4)
try(checkCheckboxInternal, label, true)
try(checkCheckboxInternal, 9999, true)
checkCheckboxInternal(box, false)
checkCheckboxInternal(box, true)
checkCheckboxInternal(box, true)
checkCheckboxInternal(box, false)
for _, f in ipairs({setItemHiddenInternal, setItemEnabledInternal}) do try(f, 9999, true) end
try(setGuiItemPositionInternal, 9999, 1, 2)
try(setItemSizeInternal, 9999, 1, 2)
try(setTooltipInternal, 9999, "tip")
try(setTooltipInternal, rect, "a rectangle has no window")
try(setTooltipInternal, box, "tip")
try(setSliderPositionInternal, 9999, 5)
try(setSliderPositionInternal, label, 5)
try(setLabelTextInternal, 9999, "no window")
try(setItemEnabledInternal, rect, false)
try(setItemHiddenInternal, box, true)
try(setSliderPositionInternal, slider, 0.25)
try(setSliderPositionInternal, slider, 2000)
say("next id", addLabelInternal("x", 0, 30, 0, 0))
)lua");
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(said(r), (std::vector<std::string>{
                           "item does not support color",
                           "ok",
                           "no gui item with id 9999",
                           "gui item 1025 is not a checkbox",
                           "no gui item with id 9999",
                           "callback 1024 true",
                           "callback 1024 false",
                           "no gui item with id 9999",
                           "no gui item with id 9999",
                           "no gui item with id 9999",
                           "no gui item with id 9999",
                           "no gui item with id 9999",
                           "ok",
                           "ok",
                           "ok",
                           "ok",
                           "ok",
                           "ok",
                           "ok",
                           "ok",
                           "ok",
                           "next id 1028",
                       }));
}

// Catches a deadlock when a callback, run under the script lock, sets a check
// box whose callback sets another one; and callbacks made in the wrong order.
TEST(GuiScript, NestedCheckboxCallbacksFromInsideACallback) {
    TempDir dir;
    RunOptions options;
    options.timeout = std::chrono::seconds(10);
    const RunResult r = runScript(dir, R"lua(
local a = addCheckboxInternal("a", 10, 10)
local b = addCheckboxInternal("b", 10, 40)
local c = addCheckboxInternal("c", 10, 70)
function FeltrixGuiMessageCallback(id, state)
  say("enter", id, state)
  if id == a then checkCheckboxInternal(b, state) end
  if id == b then checkCheckboxInternal(c, state) end
  say("leave", id)
end
local cycles = 0
function FeltrixUpdateCallback()
  cycles = cycles + 1
  if cycles == 1 then checkCheckboxInternal(a, true)
  elseif cycles == 2 then checkCheckboxInternal(a, false)
  else exit() end
end
)lua",
                                  options);
    EXPECT_FALSE(r.timedOut);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(said(r), (std::vector<std::string>{
                           "enter 1024 true", "enter 1025 true", "enter 1026 true", "leave 1026", "leave 1025",
                           "leave 1024", "enter 1024 false", "enter 1025 false", "enter 1026 false", "leave 1026",
                           "leave 1025", "leave 1024"}));
}

// Catches dialogs that do not return the chosen path, a cancel that returns
// something other than nothing, and message boxes with another caption.
TEST(GuiScript, FileDialogsAndMessageBoxes) {
    TempDir dir;
    const std::string answers = dir.write("answers.txt", dir.file("rain.wav") + "\n\n" + dir.file("my.fxc") + "\n");
    RunOptions options;
    options.environment["FELTRIX_DIALOG_ANSWERS"] = answers;
    const RunResult r = runScript(dir, R"lua(
say(openFileDialog())
say(select("#", openFileDialogScript()))
local cycles = 0
function FeltrixUpdateCallback()
  cycles = cycles + 1
  -- From a callback, with the script lock held.
  if cycles == 1 then say(openFileDialogConfig()) messageBox("Saved ✓") end
  if cycles == 2 then say(select("#", openFileDialog(1, 2, 3))) exit() end
end
)lua",
                                  options);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(said(r), (std::vector<std::string>{dir.file("rain.wav"), "0", dir.file("my.fxc"), "0"}));
    EXPECT_NE(r.err.find("Feltrix: Saved ✓\n"), std::string::npos) << r.err;
}

// Catches overflow in the layout arithmetic and in the window's geometry
// (found by the sanitizer build) and windows grown without bound.
TEST(GuiScript, ExtremeNumbersAreHandledSafely) {
    TempDir dir;
    const RunResult r = runScript(dir, R"lua(
local big, huge = 2^31 + 5, math.huge
local count = 0
for _, v in ipairs({big, -big, 0/0, huge, -huge, -1}) do
  local made = {addCheckboxInternal("c", v, v), addPushButtonInternal("p", v, v, v, v),
    addSliderInternal("s", "", "", v, v, v), addDropdownListInternal("cap", v, v, v, v),
    addLabelInternal("l", v, v, v, v), addLabelInternal("l", v, v, 0, 0),
    addRectangleInternal(v, v, v, v, v, v, v, v, v)}
  for _, id in ipairs(made) do
    count = count + 1
    setGuiItemPositionInternal(id, big, -big)
    setItemSizeInternal(id, big, big)
    setItemSizeInternal(id, -big, 0/0)
    pcall(setItemColorInternal, id, 0/0, huge, -huge, big)
    pcall(addDropdownListItemInternal, id, "x", big, true)
    pcall(addDropdownListItemInternal, id, "x", -big, true)
    pcall(selectDropdownListItemInternal, id, big)
    setSliderPositionInternal(id, 0/0)
  end
end
say(count)
)lua");
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(said(r), (std::vector<std::string>{"42"}));
}
