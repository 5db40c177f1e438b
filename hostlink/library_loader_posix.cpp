#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "hostlink/library_loader.h"

namespace feltrix {
namespace {

// Folder holding the running executable (resolved through /proc/self/exe,
// so links to the program are followed); empty when it cannot be found.
std::string programFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    std::string folder(path, static_cast<size_t>(length));
    const size_t slash = folder.rfind('/');
    if (slash == std::string::npos) return {};
    folder.resize(slash);
    return folder;
}

}  // namespace

const char* const kInterfaceLibraryFileName = "libpelgrin32.so";

LibraryHandle loadLibraryFile(const char* path, std::string* failures) {
    dlerror();
    LibraryHandle library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr && failures != nullptr) {
        const char* why = dlerror();
        *failures += "\n  " + (why != nullptr ? std::string(why) : std::string(path) + ": not loaded");
    }
    return library;
}

LibraryHandle loadLibraryNextToProgram(const char* fileName, std::string* failures) {
    const std::string folder = programFolder();
    if (!folder.empty()) {
        const std::string own = folder + "/../lib/" + fileName;
        if (LibraryHandle library = loadLibraryFile(own.c_str(), failures)) return library;
    }
    // No slash in the name: the system's search order applies (the
    // program's RUNPATH, LD_LIBRARY_PATH, the loader cache, default folders).
    return loadLibraryFile(fileName, failures);
}

std::string libraryPath(LibraryHandle library) {
    link_map* map = nullptr;
    if (library == nullptr || dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return {};
    return map->l_name != nullptr ? map->l_name : "";
}

void* findLibraryExport(LibraryHandle library, const char* name) {
    if (library == nullptr) return nullptr;
    return dlsym(library, name);
}

}  // namespace feltrix
