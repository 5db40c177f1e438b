#include "common/script_args.h"

#include <cmath>

namespace feltrix {

const char* argumentTypeName(lua_State* L, int index) {
    if (index > lua_gettop(L)) return "nil";
    return luaL_typename(L, index);
}

void raiseArgumentError(lua_State* L, int index, const char* format) {
    lua_pushfstring(L, format, argumentTypeName(L, index));
    lua_error(L);
    __builtin_unreachable();
}

void raiseFixedError(lua_State* L, const char* message) {
    lua_pushstring(L, message);
    lua_error(L);
    __builtin_unreachable();
}

const char* checkStringArgument(lua_State* L, int index, const char* format, size_t* length) {
    if (index > lua_gettop(L) || !lua_isstring(L, index)) raiseArgumentError(L, index, format);
    return lua_tolstring(L, index, length);
}

lua_Number checkNumberArgument(lua_State* L, int index, const char* format) {
    if (index > lua_gettop(L) || !lua_isnumber(L, index)) raiseArgumentError(L, index, format);
    return lua_tonumber(L, index);
}

void checkNumberArguments(lua_State* L, int count, const char* message) {
    if (lua_gettop(L) < count) raiseFixedError(L, message);
    for (int i = 1; i <= count; ++i) {
        if (!lua_isnumber(L, i)) raiseFixedError(L, message);
    }
}

std::int32_t toInt32(lua_Number value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

std::uint32_t toUint32OrMax(lua_Number value) {
    // Comparisons with NaN are false, so NaN takes the last branch.
    return value >= 0.0 && value < 4294967296.0 ? static_cast<std::uint32_t>(value) : UINT32_MAX;
}

std::uint64_t toUint64OrMax(lua_Number value) {
    return value >= 0.0 && value < 18446744073709551616.0 ? static_cast<std::uint64_t>(value) : UINT64_MAX;
}

}  // namespace feltrix
