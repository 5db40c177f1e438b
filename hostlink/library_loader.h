#pragma once
// Loading the interface library at run time. The platform file behind this
// (dlopen on Linux, LoadLibraryW on Windows) is the only code that knows how.
#include <string>

namespace feltrix {

// Opaque handle of a loaded shared library; null when nothing is loaded.
using LibraryHandle = void*;

// File name of the interface library in this build.
extern const char* const kInterfaceLibraryFileName;

// Loads the library `fileName`: on Linux first from the program's own library
// folder (<folder of the executable>/../lib), then by name through the
// system's search order; on Windows by name through the standard search
// order, in which the program's own folder comes first. Returns null when neither works; `failures`, when given,
// then receives one line per attempt saying why. The library is never
// unloaded.
LibraryHandle loadLibraryNextToProgram(const char* fileName, std::string* failures = nullptr);

// Loads the library at exactly `path`; null on failure (with the reason
// appended to `failures` as a line, when given).
LibraryHandle loadLibraryFile(const char* path, std::string* failures = nullptr);

// The file the library was loaded from (empty when unknown).
std::string libraryPath(LibraryHandle library);

// Address of the export `name`, or null when the library has none.
void* findLibraryExport(LibraryHandle library, const char* name);

}  // namespace feltrix
