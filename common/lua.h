#pragma once
// The one place that includes LuaJIT's C API (with C linkage for C++).
#include <luajit-2.1/lua.hpp>
