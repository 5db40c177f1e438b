// A client process of Pelgrin32 for the tests, linked against the shared
// library like any other program would be.
//
//   pelgrin32_client unattached          export results before any Open
//   pelgrin32_client write I V [I V...]  Open, DllCFunc(-I, V) each, print results
//   pelgrin32_client read I [I...]       Open, print DllCFunc(I, 0) each
//   pelgrin32_client dblwrite I X        Open, print EDllDblPoke(I, X)
//   pelgrin32_client race I V J W        wait for the end of standard input, Open,
//                                        write V to I, wait until J reads W
//
// The area name comes from PELGRIN32_AREA_NAME. Exit code 0 on success, 1
// when Open fails, 2 when the race partner's value never shows, 3 on usage.
#include <unistd.h>

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

int unattached() {
    std::printf("%d %d %d %d %d %d %d %d %g %d %d %d %d %d\n", DllCFunc(5, 0), DllCFunc(-5, 1), DllCF16(5, 0),
                DllCF16(-5, 1), DllPeek(5), DllPoke(5, 1), EDllPeek(5), EDllPoke(5, 1), EDllDblPeek(5),
                EDllDblPoke(5, 1.0), EDllCRead(1, 2, 3), EDllCWrite(1, 2, 3), fnTuskExtDll(), nTuskExtDll);
    return 0;
}

int race(int index, int value, int otherIndex, int otherValue) {
    char c;
    while (read(STDIN_FILENO, &c, 1) > 0) {
    }
    if (!open()) return 1;
    DllCFunc(-index, value);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (DllCFunc(otherIndex, 0) != otherValue) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::printf("timeout\n");
            return 2;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::printf("ok\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "unattached") return unattached();
    if (command == "write" && argc % 2 == 0) {
        if (!open()) return 1;
        for (int i = 2; i + 1 < argc; i += 2) std::printf("%d\n", DllCFunc(-number(argv[i]), number(argv[i + 1])));
        return 0;
    }
    if (command == "read") {
        if (!open()) return 1;
        for (int i = 2; i < argc; ++i) std::printf("%d\n", DllCFunc(number(argv[i]), 0));
        return 0;
    }
    if (command == "dblwrite" && argc == 4) {
        if (!open()) return 1;
        std::printf("%d\n", EDllDblPoke(number(argv[2]), std::strtod(argv[3], nullptr)));
        return 0;
    }
    if (command == "race" && argc == 6) return race(number(argv[2]), number(argv[3]), number(argv[4]), number(argv[5]));
    std::fprintf(stderr, "usage: pelgrin32_client unattached | write I V... | read I... | dblwrite I X | race I V J W\n");
    return 3;
}
