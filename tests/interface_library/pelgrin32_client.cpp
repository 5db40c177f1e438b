// A client process of Pelgrin32 for the tests, linked against the shared library like any other
// program (area name from PELGRIN32_AREA_NAME). "unattached": print every export's result before any
// Open. "meet I V J W": Open, write V to plain index I, wait until the whole area is a fresh layout holding
// V at I and W at J (17 and 145), which a partner started at the same moment writes. Exit code 0 on
// success, 1 when Open fails, 2 when the area never matches, 3 on usage.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "interface_library/pelgrin32.h"
#include "tests/interface_library/test_area.h"

namespace {

int meet(int index, int value, int otherIndex, int otherValue) {
    void* host = Open("pelgrin32_client");
    if (host == nullptr) return 1;
    DllCFunc(-index, value);
    const auto expected = pelgrin32::testing::expectedAfterMeeting(index == 17 ? value : otherValue,
                                                                   otherIndex == 145 ? otherValue : value);
    const auto* area = static_cast<const unsigned char*>(host) - pelgrin32::testing::kHostBlock;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::memcmp(area, expected.data(), expected.size()) != 0) {
        if (std::chrono::steady_clock::now() > deadline) return 2;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "unattached") {
        std::printf("%d %d %d %d %d %d %d %d %g %d %d %d %d %d\n", DllCFunc(5, 0), DllCFunc(-5, 1), DllCF16(5, 0),
                    DllCF16(-5, 1), DllPeek(5), DllPoke(5, 1), EDllPeek(5), EDllPoke(5, 1), EDllDblPeek(5),
                    EDllDblPoke(5, 1.0), EDllCRead(1, 2, 3), EDllCWrite(1, 2, 3), fnTuskExtDll(), nTuskExtDll);
        return 0;
    }
    const auto number = [&](int i) { return static_cast<int>(std::strtol(argv[i], nullptr, 0)); };
    if (command == "meet" && argc == 6) return meet(number(2), number(3), number(4), number(5));
    std::fprintf(stderr, "usage: pelgrin32_client unattached | meet I V J W\n");
    return 3;
}
