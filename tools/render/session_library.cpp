// An in-memory stand-in for the interface library: the variables of the
// current frame under their plain indices, read through the same binding
// and snapshot code as the real library.
#include <array>
#include <cstdint>

#include "hostlink/interface_binding.h"
#include "tools/render/session_values.h"

namespace feltrix::render {
namespace {

// Plain indices are below 65536.
std::array<std::int32_t, 65536> variables{};
int hostBlock = 0;  // Open's result only has to be non-null

// In the library's calling convention: the binding calls them as its exports.
std::int32_t PELGRIN32_CALL sessionDllCFunc(std::int32_t index, std::int32_t value) {
    if (index < 0) {
        if (-index < static_cast<std::int32_t>(variables.size())) variables[static_cast<std::size_t>(-index)] = value;
        return 0;
    }
    return index < static_cast<std::int32_t>(variables.size()) ? variables[static_cast<std::size_t>(index)] : 0;
}

void* PELGRIN32_CALL sessionOpen(const char*) { return &hostBlock; }

LibraryHandle loadWithValues() { return &hostBlock; }
LibraryHandle loadWithoutValues() { return nullptr; }

void* findExport(LibraryHandle, const char* name) {
    const std::string wanted = name;
    if (wanted == "DllCFunc") return reinterpret_cast<void*>(&sessionDllCFunc);
    if (wanted == "Open") return reinterpret_cast<void*>(&sessionOpen);
    return nullptr;
}

}  // namespace

void installSessionLibrary(bool withValues) {
    setLibraryAccess({withValues ? loadWithValues : loadWithoutValues, findExport});
}

void publishSessionFrame(const eegsim::HostFrame& frame) { eegsim::writeHostFrame(sessionDllCFunc, frame); }

}  // namespace feltrix::render
