#pragma once
// Loading libpelgrin32.so at run time, as the acquisition application does.
#include <cstdint>
#include <string>

#include "tools/eegsim/host_variables.h"

namespace eegsim {

using OpenFunction = void* (*)(const char*);

struct PelgrinLibrary {
    void* handle = nullptr;
    std::string path;  // where it was loaded from
    OpenFunction open = nullptr;
    DllCFuncFunction dllCFunc = nullptr;
};

// Loads the library: `explicitPath` when given; otherwise lib/ next to the
// program's folder (<program folder>/../lib/libpelgrin32.so) first, then the
// system's search order. Resolves `Open` and `DllCFunc`.
bool loadPelgrinLibrary(const std::string& explicitPath, PelgrinLibrary& library, std::string& error);

}  // namespace eegsim
