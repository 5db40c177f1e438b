#include "app/chunk_loading.h"

#include <cstdio>
#include <cstring>

#include "common/file_open.h"

namespace feltrix {
namespace {

// LuaJIT's message for a chunk of a mode that was not asked for.
constexpr const char* kWrongModeMessage = "attempt to load chunk with wrong mode";
constexpr const char* kBinaryRefused = "precompiled chunks are not loaded, only Lua source text";

// Loads through `reader` in text mode and turns LuaJIT's terse refusal of a
// binary chunk into a message that says what happened.
int loadText(lua_State* L, lua_Reader reader, void* data, const char* chunkName) {
    const int status = lua_loadx(L, reader, data, chunkName, "t");
    if (status == LUA_ERRSYNTAX) {
        const char* message = lua_tostring(L, -1);
        if (message != nullptr && std::strcmp(message, kWrongModeMessage) == 0) {
            lua_pop(L, 1);
            // A file's or a given name ("@..." or "=..."), never the text itself.
            if (chunkName[0] == '@' || chunkName[0] == '=') {
                lua_pushfstring(L, "%s: %s", chunkName + 1, kBinaryRefused);
            } else {
                lua_pushstring(L, kBinaryRefused);
            }
        }
    }
    return status;
}

struct FileReader {
    std::FILE* file;
    char buffer[BUFSIZ];
};

const char* readFile(lua_State*, void* data, std::size_t* size) {
    auto* reader = static_cast<FileReader*>(data);
    *size = std::fread(reader->buffer, 1, sizeof reader->buffer, reader->file);
    return *size > 0 ? reader->buffer : nullptr;
}

struct TextReader {
    const char* text;
    std::size_t length;
};

const char* readText(lua_State*, void* data, std::size_t* size) {
    auto* reader = static_cast<TextReader*>(data);
    *size = reader->length;
    reader->length = 0;
    return *size > 0 ? reader->text : nullptr;
}

// Slot where load's reader function keeps the last piece alive while the
// parser reads it (arguments 1 to 4 come first).
constexpr int kPieceSlot = 5;

// load's reader: calls the function of argument 1 for the next piece;
// nil or an empty string ends the chunk.
const char* readFromFunction(lua_State* L, void*, std::size_t* size) {
    luaL_checkstack(L, 2, "too many nested functions");
    lua_pushvalue(L, 1);
    lua_call(L, 0, 1);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        *size = 0;
        return nullptr;
    }
    if (!lua_isstring(L, -1)) {
        lua_pushstring(L, "reader function must return a string");
        lua_error(L);
    }
    lua_replace(L, kPieceSlot);
    return lua_tolstring(L, kPieceSlot, size);
}

// What loadfile, load and loadstring return: the function, or nil and the message.
int loadResult(lua_State* L, int status) {
    if (status == 0) return 1;
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
}

int luaDofile(lua_State* L) {
    const char* path = luaL_checkstring(L, 1);
    lua_settop(L, 1);
    if (loadSourceFile(L, path) != 0) return lua_error(L);
    lua_call(L, 0, LUA_MULTRET);
    return lua_gettop(L) - 1;
}

int luaLoadfile(lua_State* L) {
    const char* path = luaL_checkstring(L, 1);
    return loadResult(L, loadSourceFile(L, path));
}

int luaLoadstring(lua_State* L) {
    std::size_t length = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    const char* name = luaL_optstring(L, 2, text);
    return loadResult(L, loadSourceText(L, text, length, name));
}

// load(chunk [, chunkname [, mode [, env]]]): chunk is source text or a
// function giving it piece by piece. A mode without "t" loads nothing.
int luaLoad(lua_State* L) {
    if (std::strchr(luaL_optstring(L, 3, "t"), 't') == nullptr) {
        lua_pushnil(L);
        lua_pushstring(L, kWrongModeMessage);
        return 2;
    }
    int status = 0;
    if (lua_type(L, 1) == LUA_TSTRING || lua_type(L, 1) == LUA_TNUMBER) {
        std::size_t length = 0;
        const char* text = lua_tolstring(L, 1, &length);
        status = loadSourceText(L, text, length, luaL_optstring(L, 2, text));
    } else {
        luaL_checktype(L, 1, LUA_TFUNCTION);
        const char* name = luaL_optstring(L, 2, "=(load)");
        lua_settop(L, kPieceSlot);
        status = loadText(L, readFromFunction, nullptr, name);
    }
    if (status == 0 && lua_istable(L, 4)) {
        lua_pushvalue(L, 4);
        lua_setfenv(L, -2);
    }
    return loadResult(L, status);
}

}  // namespace

int loadSourceFile(lua_State* L, const char* path) {
    FileReader reader{};
    reader.file = openRegularFile(path, "rb");
    if (reader.file == nullptr) {
        lua_pushfstring(L, "cannot open %s", path);
        return LUA_ERRFILE;
    }
    lua_pushfstring(L, "@%s", path);
    int status = loadText(L, readFile, &reader, lua_tostring(L, -1));
    if (std::ferror(reader.file) != 0) {
        lua_pop(L, 1);
        lua_pushfstring(L, "cannot read %s", path);
        status = LUA_ERRFILE;
    }
    std::fclose(reader.file);
    lua_remove(L, -2);  // the chunk name
    return status;
}

int loadSourceText(lua_State* L, const char* text, std::size_t length, const char* chunkName) {
    TextReader reader{text, length};
    return loadText(L, readText, &reader, chunkName);
}

void installChunkLoaders(lua_State* L) {
    const luaL_Reg loaders[] = {
        {"dofile", luaDofile}, {"loadfile", luaLoadfile}, {"load", luaLoad}, {"loadstring", luaLoadstring}};
    for (const luaL_Reg& loader : loaders) {
        lua_pushcfunction(L, loader.func);
        lua_setfield(L, LUA_GLOBALSINDEX, loader.name);
    }
}

}  // namespace feltrix
