#include <windows.h>

#include <atomic>
#include <cstdlib>

#include "tests/support/test_area_name.h"

namespace feltrix::testing {

constexpr std::size_t kAreaSize = 4397440;

TestAreaName::TestAreaName(const std::string& purpose) {
    static std::atomic<int> counter{0};
    name_ = "feltrix-" + purpose + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    _putenv_s("PELGRIN32_AREA_NAME", name_.c_str());
}

TestAreaName::~TestAreaName() { _putenv_s("PELGRIN32_AREA_NAME", ""); }

bool TestAreaName::exists() const { return !snapshot().empty(); }

std::vector<std::uint8_t> TestAreaName::snapshot() const {
    std::vector<std::uint8_t> bytes;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name_.c_str());
    if (mapping == nullptr) return bytes;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kAreaSize)) {
        const auto* first = static_cast<const std::uint8_t*>(view);
        bytes.assign(first, first + kAreaSize);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return bytes;
}

}  // namespace feltrix::testing
