#pragma once
// Which variables the monitor shows (--only).
#include <string>
#include <vector>

namespace eegsim::monitor {

// One flag per variable of variables(), true when shown.
using Selection = std::vector<bool>;

Selection everything();

// Parses a comma-separated list of words, case ignored:
//   side names (left, right), band names (delta ... resrv) and measure names
//   (value ... percenttimeoverthreshold) narrow the band measures: a measure
//   is shown when it matches every kind of word given (alpha,theta,value:
//   the Values of Alpha and Theta on both sides);
//   artifact, events: those variables; event3: ValA, ValB and Flag of event 3;
//   a whole variable name (leftAlphaValue, event3Flag): that one.
// False with a message for an unknown word or an empty list.
bool parseSelection(const std::string& text, Selection& selection, std::string& error);

}  // namespace eegsim::monitor
