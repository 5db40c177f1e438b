#pragma once
// A shared area of its own for one test, so that no test touches a real
// session's area or another test's: a unique name, set in PELGRIN32_AREA_NAME
// for this process (and the programs it starts), the area unlinked at the end.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace feltrix::testing {

class TestAreaName {
public:
    explicit TestAreaName(const std::string& purpose = "test") {
        static std::atomic<int> counter{0};
        name_ = "/feltrix-" + purpose + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        shm_unlink(name_.c_str());
        setenv("PELGRIN32_AREA_NAME", name_.c_str(), 1);
    }
    ~TestAreaName() {
        shm_unlink(name_.c_str());
        unsetenv("PELGRIN32_AREA_NAME");
    }
    TestAreaName(const TestAreaName&) = delete;
    TestAreaName& operator=(const TestAreaName&) = delete;
    const std::string& name() const { return name_; }

    bool exists() const {
        const int fd = shm_open(name_.c_str(), O_RDONLY, 0);
        if (fd >= 0) close(fd);
        return fd >= 0;
    }

    // A copy of the area's bytes as they are now (empty when there is none).
    std::vector<std::uint8_t> snapshot() const {
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

private:
    std::string name_;
};

}  // namespace feltrix::testing
