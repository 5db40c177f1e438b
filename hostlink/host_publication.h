#pragma once
// Publication of the host-variable snapshot as script globals.
#include "common/lua.h"
#include "hostlink/host_variables.h"

namespace feltrix {

// Stores all 283 globals of publishedVariables(), in order: band and event
// values as numbers (the signed 16-bit value), artifact as a boolean (true
// when non-zero). The global names are interned once per Lua state and kept
// referenced from the registry, so a cycle allocates nothing once every
// global exists. Values are stored raw: no metamethod of the globals table
// runs, since this happens outside the script lock and outside any protected
// call. Leaves the stack as it found it.
void publishHostVariables(lua_State* L, const HostVariableSnapshot& snapshot);

}  // namespace feltrix
