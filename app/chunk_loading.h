#pragma once
// Loading Lua chunks: every chunk the program runs (the init script, the
// configuration files, what scripts load with dofile, loadfile, load and
// loadstring) comes in here. Files are opened by their UTF-8 names through
// the program's own file opening (wide on Windows, so any folder name works),
// and every chunk is loaded as source text only: LuaJIT does not check
// precompiled bytecode, and a crafted one could do anything to the process.
#include <cstddef>

#include "common/lua.h"

namespace feltrix {

// Loads the source file `path` as a chunk named "@path". Pushes the chunk's
// function and returns 0, or pushes the error message and returns the
// loading status (LUA_ERRFILE: "cannot open <path>" or "cannot read <path>";
// LUA_ERRSYNTAX, also for a binary chunk; LUA_ERRMEM).
int loadSourceFile(lua_State* L, const char* path);
// The same for source text in memory, with the chunk name as given.
int loadSourceText(lua_State* L, const char* text, std::size_t length, const char* chunkName);

// Replaces the base library's dofile, loadfile, load and loadstring with
// versions that load through the two functions above. dofile and loadfile
// need a file name (none would mean standard input, which the program keeps
// for its own use).
void installChunkLoaders(lua_State* L);

}  // namespace feltrix
