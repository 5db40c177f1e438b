#pragma once
// Loading the interface library (libpelgrin32.so, PELGRIN32.DLL on Windows)
// at run time, as the acquisition application does.
#include <cstdint>
#include <string>

#include "tools/acquire/host_variables.h"

namespace eegsim {

using OpenFunction = void*(PELGRIN32_CALL*)(const char*);

struct PelgrinLibrary {
    void* handle = nullptr;
    std::string path;  // where it was loaded from
    OpenFunction open = nullptr;
    DllCFuncFunction dllCFunc = nullptr;
};

// Loads the library: `explicitPath` when given; otherwise as Feltrix does
// (Linux: <program folder>/../lib/libpelgrin32.so first, then the system's
// search order; Windows: the program's folder first). Resolves `Open` and `DllCFunc`.
bool loadPelgrinLibrary(const std::string& explicitPath, PelgrinLibrary& library, std::string& error);

}  // namespace eegsim
