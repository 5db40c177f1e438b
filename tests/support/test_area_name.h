#pragma once
// A shared area of its own for one test: a unique name set in
// PELGRIN32_AREA_NAME for this process and the programs it starts; the area is
// removed at the end on Linux (on Windows it goes with its last handle).
#include <cstdint>
#include <string>
#include <vector>

namespace feltrix::testing {

class TestAreaName {
public:
    explicit TestAreaName(const std::string& purpose = "test");
    ~TestAreaName();
    TestAreaName(const TestAreaName&) = delete;
    TestAreaName& operator=(const TestAreaName&) = delete;
    const std::string& name() const { return name_; }
    bool exists() const;
    // A copy of the area's bytes as they are now (empty when there is none).
    std::vector<std::uint8_t> snapshot() const;

private:
    std::string name_;
};

}  // namespace feltrix::testing
