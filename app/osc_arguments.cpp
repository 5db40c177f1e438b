#include "app/osc_arguments.h"

#include <cassert>
#include <cmath>
#include <cstdio>

#include "common/script_args.h"

namespace feltrix {
namespace {

// Position 0 is the address; values count from 1; the type tags are kTags.
constexpr int kTags = -1;

struct Walk {
    lua_State* L;
    const OscMessageSource& source;
    OscPacketWriter* writer;

    int slotOf(int position) const { return position == 0 ? source.addressSlot : source.firstValueSlot + position - 1; }
    int valueCount() const {
        if (source.entry != 0) return static_cast<int>(lua_objlen(L, source.entry)) - 1;
        return lua_gettop(L) - source.firstValueSlot + 1;
    }
    // Pushes the address (0) or a value: a copy of its slot, an entry's
    // element, or nil past the last argument.
    void push(int position) const {
        if (source.entry != 0) {
            lua_rawgeti(L, source.entry, position + 1);
        } else if (slotOf(position) <= lua_gettop(L)) {
            lua_pushvalue(L, slotOf(position));
        } else {
            lua_pushnil(L);
        }
    }
    // "argument #5" or "value #3 of message #2" (the address is value #1),
    // "types of message #2".
    void describe(char* out, std::size_t size, int position) const {
        if (position == kTags && source.entry != 0) {
            std::snprintf(out, size, "types of message #%d", source.entryNumber);
        } else if (position == kTags) {
            std::snprintf(out, size, "argument #%d", source.firstValueSlot - 1);
        } else if (source.entry != 0) {
            std::snprintf(out, size, "value #%d of message #%d", position + 1, source.entryNumber);
        } else {
            std::snprintf(out, size, "argument #%d", slotOf(position));
        }
    }
    // Raises "incorrect WHERE to FUNCTION: EXPECTED expected, got TYPE" for
    // the value on top of the stack.
    [[noreturn]] void raiseExpected(int position, const char* expected) const {
        char where[48], format[160];
        describe(where, sizeof where, position);
        std::snprintf(format, sizeof format, "incorrect %s to %s: %s expected, got %%s", where, source.function,
                      expected);
        raiseArgumentError(L, -1, format);
    }
    [[noreturn]] void raiseFixed(int position, const char* problem, char detail = 0) const {
        char where[48], message[160];
        describe(where, sizeof where, position);
        if (detail != 0) {
            std::snprintf(message, sizeof message, "incorrect %s to %s: %s '%c'", where, source.function, problem,
                          detail);
        } else {
            std::snprintf(message, sizeof message, "incorrect %s to %s: %s", where, source.function, problem);
        }
        raiseFixedError(L, message);
    }
};

bool isInt32(lua_Number value) {
    return value == std::floor(value) && value >= -2147483648.0 && value <= 2147483647.0;
}

// The value on top of the stack without type tags.
void walkUntypedValue(const Walk& walk, int position) {
    lua_State* L = walk.L;
    switch (lua_type(L, -1)) {
        case LUA_TNUMBER:
            if (walk.writer) walk.writer->addFloat(toFloat(lua_tonumber(L, -1)));
            return;
        case LUA_TSTRING:
            if (walk.writer) walk.writer->addString(lua_tostring(L, -1));
            return;
        case LUA_TBOOLEAN:
            if (walk.writer) walk.writer->addBool(lua_toboolean(L, -1) != 0);
            return;
        default:
            walk.raiseExpected(position, "number, string or boolean");
    }
}

// The value on top of the stack for the type tag `tag` (one that takes a value).
void walkTypedValue(const Walk& walk, int position, char tag) {
    lua_State* L = walk.L;
    if (tag == 's') {
        if (!lua_isstring(L, -1)) walk.raiseExpected(position, "string");
        if (walk.writer) walk.writer->addString(lua_tostring(L, -1));
        return;
    }
    if (!lua_isnumber(L, -1)) walk.raiseExpected(position, tag == 'i' ? "integer" : "number");
    const lua_Number value = lua_tonumber(L, -1);
    if (tag == 'i' && !isInt32(value)) walk.raiseExpected(position, "integer");
    if (!walk.writer) return;
    if (tag == 'i') walk.writer->addInt32(static_cast<std::int32_t>(value));
    if (tag == 'f') walk.writer->addFloat(toFloat(value));
    if (tag == 'd') walk.writer->addDouble(value);
}

void walkValuelessTag(const Walk& walk, char tag) {
    if (!walk.writer) return;
    if (tag == 'T' || tag == 'F') walk.writer->addBool(tag == 'T');
    if (tag == 'N') walk.writer->addNil();
    if (tag == 'I') walk.writer->addInfinitum();
}

bool takesValue(char tag) { return tag == 'i' || tag == 'f' || tag == 'd' || tag == 's'; }
bool takesNoValue(char tag) { return tag == 'T' || tag == 'F' || tag == 'N' || tag == 'I'; }

void walkAddress(const Walk& walk) {
    lua_State* L = walk.L;
    walk.push(0);
    if (!lua_isstring(L, -1)) walk.raiseExpected(0, "string");
    const char* address = lua_tostring(L, -1);
    if (address[0] != '/') walk.raiseFixed(0, "address must start with \"/\"");
    if (walk.writer) walk.writer->beginMessage(address);
    lua_pop(L, 1);
}

// The values for the type tags `tags`.
void walkTypedValues(const Walk& walk, const char* tags) {
    lua_State* L = walk.L;
    int position = 1;
    for (const char* tag = tags; *tag != 0; ++tag) {
        if (takesNoValue(*tag)) {
            walkValuelessTag(walk, *tag);
            continue;
        }
        if (!takesValue(*tag)) walk.raiseFixed(kTags, "unknown type tag", *tag);
        walk.push(position);
        walkTypedValue(walk, position, *tag);
        lua_pop(L, 1);
        ++position;
    }
    if (position <= walk.valueCount()) {
        walk.push(position);
        walk.raiseExpected(position, "no value");
    }
}

}  // namespace

void walkOscMessage(lua_State* L, const OscMessageSource& source, const char* tags, OscPacketWriter* writer) {
    [[maybe_unused]] const int top = lua_gettop(L);
    const Walk walk{L, source, writer};
    walkAddress(walk);
    if (tags != nullptr) {
        walkTypedValues(walk, tags);
    } else {
        const int count = walk.valueCount();
        for (int position = 1; position <= count; ++position) {
            walk.push(position);
            walkUntypedValue(walk, position);
            lua_pop(L, 1);
        }
    }
    if (writer) writer->endMessage();
    assert(lua_gettop(L) == top);
}

void checkOscAddress(lua_State* L, const OscMessageSource& source) { walkAddress(Walk{L, source, nullptr}); }

void walkOscBundle(lua_State* L, const char* function, int table, OscPacketWriter* writer) {
    [[maybe_unused]] const int top = lua_gettop(L);
    if (writer) writer->beginBundle();
    const int count = static_cast<int>(lua_objlen(L, table));
    for (int number = 1; number <= count; ++number) {
        // Stack: ..., entry, types.
        lua_rawgeti(L, table, number);
        const int entry = lua_gettop(L);
        const OscMessageSource source{function, 0, 0, entry, number};
        const Walk walk{L, source, writer};
        if (!lua_istable(L, entry)) {
            char format[96];
            std::snprintf(format, sizeof format, "incorrect message #%d to %s: table expected, got %%s", number,
                          function);
            raiseArgumentError(L, entry, format);
        }
        lua_pushliteral(L, "types");
        lua_rawget(L, entry);
        const bool typed = !lua_isnil(L, -1);
        if (typed && lua_type(L, -1) != LUA_TSTRING) walk.raiseExpected(kTags, "string");
        walkOscMessage(L, source, typed ? lua_tostring(L, -1) : nullptr, writer);
        lua_pop(L, 2);
    }
    if (writer) writer->endBundle();
    assert(lua_gettop(L) == top);
}

}  // namespace feltrix
