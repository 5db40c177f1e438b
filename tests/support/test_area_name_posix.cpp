#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "tests/support/test_area_name.h"

namespace feltrix::testing {

TestAreaName::TestAreaName(const std::string& purpose) {
    static std::atomic<int> counter{0};
    name_ = "/feltrix-" + purpose + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    shm_unlink(name_.c_str());
    setenv("PELGRIN32_AREA_NAME", name_.c_str(), 1);
}

TestAreaName::~TestAreaName() {
    shm_unlink(name_.c_str());
    unsetenv("PELGRIN32_AREA_NAME");
}

bool TestAreaName::exists() const {
    const int fd = shm_open(name_.c_str(), O_RDONLY, 0);
    if (fd >= 0) close(fd);
    return fd >= 0;
}

std::vector<std::uint8_t> TestAreaName::snapshot() const {
    std::vector<std::uint8_t> bytes;
    const int fd = shm_open(name_.c_str(), O_RDONLY, 0);
    if (fd < 0) return bytes;
    struct stat info {};
    if (fstat(fd, &info) == 0 && info.st_size > 0) {
        void* view = mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_SHARED, fd, 0);
        if (view != MAP_FAILED) {
            const auto* first = static_cast<const std::uint8_t*>(view);
            bytes.assign(first, first + info.st_size);
            munmap(view, static_cast<std::size_t>(info.st_size));
        }
    }
    close(fd);
    return bytes;
}

}  // namespace feltrix::testing
