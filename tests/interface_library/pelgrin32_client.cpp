// A client process of Pelgrin32 for the tests, linked against the shared
// library like any other program. The area name comes from PELGRIN32_AREA_NAME.
//   unattached          print every export's result before any Open
//   write I V [I V...]  Open, print DllCFunc(-I, V) for each pair
//   meet I V J W        Open, write V to I, wait until J holds W (a partner
//                       process started at the same moment writes it)
// Exit code 0 on success, 1 when Open fails, 2 when the partner's value never
// shows, 3 on usage.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "interface_library/pelgrin32.h"

namespace {

int number(const char* text) { return static_cast<int>(std::strtol(text, nullptr, 0)); }

bool open() {
    if (Open("pelgrin32_client") != nullptr) return true;
    std::printf("open failed\n");
    return false;
}

int meet(int index, int value, int otherIndex, int otherValue) {
    if (!open()) return 1;
    DllCFunc(-index, value);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (DllCFunc(otherIndex, 0) != otherValue) {
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
    if (command == "write" && argc % 2 == 0) {
        if (!open()) return 1;
        for (int i = 2; i + 1 < argc; i += 2) std::printf("%d\n", DllCFunc(-number(argv[i]), number(argv[i + 1])));
        return 0;
    }
    if (command == "meet" && argc == 6) return meet(number(argv[2]), number(argv[3]), number(argv[4]), number(argv[5]));
    std::fprintf(stderr, "usage: pelgrin32_client unattached | write I V... | meet I V J W\n");
    return 3;
}
