// The shared area as a POSIX shared memory object.
//
// Creation is guarded by an exclusive flock on the object itself: whoever
// holds it first sizes the new object (which zero-fills it) and lays it out;
// everybody else waits for the lock and then finds it sized and laid out. The
// lock goes with the descriptor, which is closed right after mapping, so a
// process that dies while creating leaves no stale lock behind.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "interface_library/area_layout.h"
#include "interface_library/shared_area.h"

namespace pelgrin32 {

namespace {

// "/TuskExtDll.1", or the name in PELGRIN32_AREA_NAME (so that tests and
// trial runs never touch a real session's area).
std::string areaName() {
    const char* custom = std::getenv("PELGRIN32_AREA_NAME");
    std::string name = custom != nullptr && custom[0] != '\0' ? custom : "TuskExtDll.1";
    if (name[0] != '/') name.insert(0, "/");
    return name;
}

int lockExclusive(int fd) {
    int result;
    do {
        result = flock(fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    return result;
}

// Sizes, maps and lays out the open object `fd` while holding its lock.
std::uint8_t* mapLocked(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0) return nullptr;
    if (info.st_size == 0) {
        // New object: growing it fills it with zero bytes.
        if (ftruncate(fd, kAreaSize) != 0) return nullptr;
    } else if (info.st_size < static_cast<off_t>(kAreaSize)) {
        // Made by something else with another size: not ours to change.
        return nullptr;
    }
    void* view = mmap(nullptr, kAreaSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) return nullptr;
    auto* bytes = static_cast<std::uint8_t*>(view);
    layOutArea({bytes, kAreaSize});
    return bytes;
}

}  // namespace

std::uint8_t* mapSharedArea() {
    const std::string name = areaName();
    const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT, S_IRUSR | S_IWUSR);
    if (fd < 0) return nullptr;
    std::uint8_t* view = nullptr;
    if (lockExclusive(fd) == 0) {
        view = mapLocked(fd);
        flock(fd, LOCK_UN);
    }
    close(fd);
    return view;
}

}  // namespace pelgrin32
