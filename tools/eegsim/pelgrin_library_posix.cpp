#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include "tools/eegsim/pelgrin_library.h"

namespace eegsim {
namespace {

constexpr const char* kLibraryName = "libpelgrin32.so";

std::string programFolder() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    std::string text(path, static_cast<std::size_t>(length));
    auto slash = text.rfind('/');
    return slash == std::string::npos ? std::string() : text.substr(0, slash);
}

}  // namespace

bool loadPelgrinLibrary(const std::string& explicitPath, PelgrinLibrary& library, std::string& error) {
    std::string tried;
    auto attempt = [&](const std::string& path) {
        dlerror();
        library.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library.handle) {
            library.path = path;
            return true;
        }
        const char* why = dlerror();
        tried += "\n  " + std::string(why ? why : path + ": not loaded");
        return false;
    };
    bool loaded = false;
    if (!explicitPath.empty()) {
        loaded = attempt(explicitPath);
    } else {
        std::string folder = programFolder();
        if (!folder.empty()) loaded = attempt(folder + "/../lib/" + kLibraryName);
        if (!loaded) loaded = attempt(kLibraryName);
    }
    if (!loaded) {
        error = std::string("cannot load ") + kLibraryName + ":" + tried;
        return false;
    }
    library.open = reinterpret_cast<OpenFunction>(dlsym(library.handle, "Open"));
    library.dllCFunc = reinterpret_cast<DllCFuncFunction>(dlsym(library.handle, "DllCFunc"));
    if (!library.open || !library.dllCFunc) {
        error = library.path + " does not export " + (!library.open ? "Open" : "DllCFunc");
        return false;
    }
    return true;
}

}  // namespace eegsim
