// The shared area as a named file mapping backed by the paging file.
//
// A named mutex guards creation and layout: whoever holds it first creates
// the mapping (which the system fills with zero bytes) and lays it out;
// everybody else waits for it and then opens the mapping, sized and laid out.
// A process that dies while holding the mutex abandons it, and the next
// waiter gets it (WAIT_ABANDONED) and lays the area out itself if need be.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "interface_library/area_layout.h"
#include "interface_library/shared_area.h"

namespace pelgrin32 {
namespace {

// "TuskExtDll.1", or the name in PELGRIN32_AREA_NAME (so that tests and trial
// runs never touch a real session's area). A leading slash, as the Linux
// names have, is dropped.
std::string areaName() {
    const char* custom = std::getenv("PELGRIN32_AREA_NAME");
    std::string name = custom != nullptr && custom[0] != '\0' ? custom : "TuskExtDll.1";
    if (name[0] == '/') name.erase(0, 1);
    return name;
}

// Opens the existing mapping or creates it; null when neither works.
HANDLE openOrCreateMapping(const std::string& name) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
    if (mapping != nullptr) return mapping;
    // Returns the existing mapping (ERROR_ALREADY_EXISTS) if one appeared
    // meanwhile; a new one is zero-filled by the system.
    return CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kAreaSize, name.c_str());
}

}  // namespace

std::uint8_t* mapSharedArea() {
    const std::string name = areaName();
    const std::string mutexName = name + ".layout";
    HANDLE mutex = CreateMutexA(nullptr, FALSE, mutexName.c_str());
    if (mutex == nullptr) return nullptr;
    const DWORD waited = WaitForSingleObject(mutex, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return nullptr;
    }
    std::uint8_t* bytes = nullptr;
    // The mapping handle stays open with its view for the rest of the process.
    if (HANDLE mapping = openOrCreateMapping(name)) {
        // A mapping smaller than the area (made by something else) gives no
        // view: MapViewOfFile refuses a size beyond the mapping's.
        bytes = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kAreaSize));
        if (bytes != nullptr) {
            layOutArea({bytes, kAreaSize});
        } else {
            CloseHandle(mapping);
        }
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return bytes;
}

}  // namespace pelgrin32
