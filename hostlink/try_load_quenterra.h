#pragma once
#include "common/lua.h"

namespace feltrix {

// Script function tryLoadQuenterra(): binds the interface library and attaches.
int luaTryLoadQuenterra(lua_State* L);

}  // namespace feltrix
