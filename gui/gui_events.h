#pragma once
// What the user does with script-created controls, turned into calls of the
// script's "FeltrixGuiMessageCallback". The window system calls these on the
// main thread; each delivery takes the script lock for the callback.
#include <string>

#include "common/types.h"

namespace feltrix {

// Push button clicked: (id).
void deliverPushButtonClick(GuiItemId id);
// Check box clicked: the box does not toggle by itself; it is toggled here and
// the script gets (id, new state) and sees the new state in the control too.
void deliverCheckboxClick(GuiItemId id);
// Any slider notification (each drag step, the end of a drag or a click or a
// key): (id, position 0..1000).
void deliverSliderNotification(GuiItemId id, int position);
// An entry chosen by the user (never one chosen by the script): (id, text).
void deliverDropdownListSelection(GuiItemId id, const std::string& text);

}  // namespace feltrix
