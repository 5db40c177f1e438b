#pragma once
// The values of OSC messages as scripts give them, checked and written into a
// packet. Each message is walked twice: first to check it, raising the script
// function's argument errors, then (with a writer) to pack it, which raises
// nothing. So no Lua error ever passes over a packing in progress.
//
// Values without type tags: number -> float32 (f), string -> s, boolean -> T
// or F. With a type-tag string: i (a whole number that fits 32 bits), f, d
// (numbers) and s (a string) take one value each; T, F, N (nil) and I
// (infinitum) take none.
#include "common/lua.h"
#include "osc/osc_packet_writer.h"

namespace feltrix {

// Where one message's address and values are: stack slots (a direct call),
// or the elements of a bundle entry (a table: the address, then the values;
// its field `types` holds its type tags if it has them).
struct OscMessageSource {
    const char* function;  // for error texts
    int addressSlot = 0;     // direct call: the address's stack slot
    int firstValueSlot = 0;  // direct call: the first value's slot (the values run to the top)
    int entry = 0;         // bundle: the entry table's absolute stack index
    int entryNumber = 0;   // bundle: its 1-based number, for error texts
};

// Checks or, with `writer`, writes the message (address and values). `tags`
// is null for untyped values. Check mode raises the function's errors; write
// mode never raises.
void walkOscMessage(lua_State* L, const OscMessageSource& source, const char* tags, OscPacketWriter* writer);

// Checks only the address (a direct call's arguments are checked in order,
// and the type tags come between the address and the values).
void checkOscAddress(lua_State* L, const OscMessageSource& source);

// The same for a bundle: the table at stack slot `table` holds the entries.
void walkOscBundle(lua_State* L, const char* function, int table, OscPacketWriter* writer);

}  // namespace feltrix
