#include "tools/acquire/pelgrin_library.h"

#include "hostlink/library_loader.h"

namespace eegsim {

bool loadPelgrinLibrary(const std::string& explicitPath, PelgrinLibrary& library, std::string& error) {
    const char* const name = feltrix::kInterfaceLibraryFileName;
    std::string failures;
    library.handle = explicitPath.empty() ? feltrix::loadLibraryNextToProgram(name, &failures)
                                          : feltrix::loadLibraryFile(explicitPath.c_str(), &failures);
    if (library.handle == nullptr) {
        error = std::string("cannot load ") + name + ":" + failures;
        return false;
    }
    library.path = feltrix::libraryPath(library.handle);
    if (library.path.empty()) library.path = explicitPath.empty() ? name : explicitPath;
    library.open = reinterpret_cast<OpenFunction>(feltrix::findLibraryExport(library.handle, "Open"));
    library.dllCFunc = reinterpret_cast<DllCFuncFunction>(feltrix::findLibraryExport(library.handle, "DllCFunc"));
    if (!library.open || !library.dllCFunc) {
        error = library.path + " does not export " + (!library.open ? "Open" : "DllCFunc");
        return false;
    }
    return true;
}

}  // namespace eegsim
