#pragma once
// Mapping the shared area: the only code that knows the platform's shared
// memory calls (shared_area_posix.cpp here; a Windows file mapping later).
#include <cstdint>

namespace pelgrin32 {

// Maps a new view of the shared area, creating it when no process has yet,
// and makes sure it is laid out (the first attach anywhere lays it out; two
// processes attaching at the same moment both end up on one laid-out area).
// Returns the view's first byte, or null when no view could be mapped. Views
// are never unmapped.
std::uint8_t* mapSharedArea();

}  // namespace pelgrin32
