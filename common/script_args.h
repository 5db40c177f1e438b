#pragma once
// Argument checks shared by every script function. Errors are raised as Lua
// errors whose value is the message itself (no position prefix).
//
// Form A: one argument checked; the message has one %s that receives the Lua
//         type name of the argument ("nil" when it is absent).
// Form B: several numbers checked together; a fixed message.
#include <cstddef>
#include <cstdint>

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

// Script numbers to integers: fractions are cut (toward zero). The three
// conversions differ only in what an out-of-range number becomes; NaN is
// handled explicitly (a plain cast of NaN is undefined behaviour).
//   toInt32:         saturates at the limits; NaN gives 0.
//   toUint32OrMax:   negative, NaN or too large give UINT32_MAX (names no
//                    channel).
//   toUint64OrMax:   negative, NaN or too large give UINT64_MAX (names no
//                    frame).
std::int32_t toInt32(lua_Number value);
std::uint32_t toUint32OrMax(lua_Number value);
std::uint64_t toUint64OrMax(lua_Number value);
// Script numbers to engine floats (volumes, panning, seconds, speeds): nearest
// float; beyond the float range the IEEE result (infinity) that the engine's
// clamps then handle.
inline float toFloat(lua_Number value) { return static_cast<float>(value); }

}  // namespace feltrix
