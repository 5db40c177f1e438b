#pragma once
// Binding of the interface library (Pelgrin32): loaded by name on the
// script's request, two exports looked up, attached once through Open. The
// state is program-wide and only grows: once bound, bound for good.
#include <cstdint>

#include "hostlink/library_loader.h"
#include "interface_library/pelgrin32.h"

namespace feltrix {

// The library's variable access: (host variable index, value) -> result.
// A non-negative index reads, a negative one writes `value` to -index. The
// library's calling convention (PELGRIN32_CALL) is part of the type.
using DllCFuncFunction = std::int32_t(PELGRIN32_CALL*)(std::int32_t index, std::int32_t value);
// The library's attach: takes a text it does not interpret, returns the
// address of the host block or null.
using OpenFunction = void*(PELGRIN32_CALL*)(const char* text);

// Text handed to Open.
constexpr const char* kOpenArgument = "Feltrix";

// The bound DllCFunc; null while the library is not bound.
DllCFuncFunction boundDllCFunc();

enum class BindOutcome {
    Bound,            // loaded (if needed), both exports found, Open succeeded
    AlreadyBound,     // an earlier call succeeded; nothing was done
    LoadFailed,       // the library could not be loaded
    DllCFuncMissing,  // loaded, but without DllCFunc
    OpenMissing,      // loaded, but without Open
    OpenFailed,       // Open returned null
};

// One attempt to bind. A failed load is retried by the next attempt; after a
// failure further on the library stays loaded and the next attempt repeats
// the look-ups and Open. Nothing is bound unless the outcome is Bound.
BindOutcome bindInterfaceLibrary();

// How the binding reaches the platform. The default loads the interface
// library next to the program; tests and feltrix-render substitute their own.
struct LibraryAccess {
    LibraryHandle (*load)();
    void* (*find)(LibraryHandle library, const char* name);
};
void setLibraryAccess(const LibraryAccess& access);
// Back to unbound with nothing loaded and the default library access.
void resetInterfaceBindingForTesting();

}  // namespace feltrix
