#include "hostlink/interface_binding.h"

namespace feltrix {
namespace {

LibraryHandle loadInterfaceLibrary() { return loadLibraryNextToProgram(kInterfaceLibraryFileName); }

constexpr LibraryAccess kPlatformAccess{loadInterfaceLibrary, findLibraryExport};

LibraryAccess access = kPlatformAccess;
// Held for the rest of the run once loaded; never unloaded.
LibraryHandle interfaceLibrary = nullptr;
DllCFuncFunction dllCFunc = nullptr;

}  // namespace

DllCFuncFunction boundDllCFunc() { return dllCFunc; }

BindOutcome bindInterfaceLibrary() {
    if (dllCFunc != nullptr) return BindOutcome::AlreadyBound;
    if (interfaceLibrary == nullptr) {
        interfaceLibrary = access.load();
        if (interfaceLibrary == nullptr) return BindOutcome::LoadFailed;
    }
    // Exports are resolved on every attempt that gets this far, so a
    // library that gained them (or an Open that failed once) is retried.
    auto readFunction = reinterpret_cast<DllCFuncFunction>(access.find(interfaceLibrary, "DllCFunc"));
    if (readFunction == nullptr) return BindOutcome::DllCFuncMissing;
    auto open = reinterpret_cast<OpenFunction>(access.find(interfaceLibrary, "Open"));
    if (open == nullptr) return BindOutcome::OpenMissing;
    if (open(kOpenArgument) == nullptr) return BindOutcome::OpenFailed;
    // Bound only now: the update cycle reads through dllCFunc once it is set.
    dllCFunc = readFunction;
    return BindOutcome::Bound;
}

void setLibraryAccess(const LibraryAccess& replacement) { access = replacement; }

void resetInterfaceBindingForTesting() {
    access = kPlatformAccess;
    interfaceLibrary = nullptr;
    dllCFunc = nullptr;
}

}  // namespace feltrix
