#pragma once
// A shared area of its own for one test: a unique PELGRIN32_AREA_NAME,
// removed again when the test ends.
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <string>

namespace feltrix::testing {

class TestAreaName {
public:
    TestAreaName() {
        static std::atomic<int> counter{0};
        name_ = "feltrix-hostlink-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    }
    ~TestAreaName() { shm_unlink(("/" + name_).c_str()); }
    TestAreaName(const TestAreaName&) = delete;
    TestAreaName& operator=(const TestAreaName&) = delete;
    const std::string& name() const { return name_; }

private:
    std::string name_;
};

}  // namespace feltrix::testing
