#pragma once
// Argument checks shared by every script function. Errors are raised as Lua
// errors whose value is the message itself (no position prefix).
//
// Form A: one argument checked; the message has one %s that receives the Lua
//         type name of the argument ("nil" when it is absent).
// Form B: several numbers checked together; a fixed message.
#include <cstddef>

#include "common/lua.h"

namespace feltrix {

// The type name used in form A messages: "nil" for an absent argument.
const char* argumentTypeName(lua_State* L, int index);

// Raises `format` with %s replaced by argumentTypeName(index).
[[noreturn]] void raiseArgumentError(lua_State* L, int index, const char* format);
// Raises a fixed message.
[[noreturn]] void raiseFixedError(lua_State* L, const char* message);

// "string expected" in Lua's sense: strings and numbers (converted).
const char* checkStringArgument(lua_State* L, int index, const char* format, size_t* length = nullptr);
// "number expected" in Lua's sense: numbers and numeric strings.
lua_Number checkNumberArgument(lua_State* L, int index, const char* format);
// Form B: the first `count` arguments must all be present and numbers.
void checkNumberArguments(lua_State* L, int count, const char* message);

}  // namespace feltrix
