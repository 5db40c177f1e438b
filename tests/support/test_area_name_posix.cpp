#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

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

// glibc keeps named shared memory as files in /dev/shm.
bool TestAreaName::exists() const { return std::filesystem::exists("/dev/shm" + name_); }

std::vector<std::uint8_t> TestAreaName::snapshot() const {
    const std::string bytes = readFile("/dev/shm" + name_);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace feltrix::testing
