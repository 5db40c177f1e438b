// A stand-in for libpelgrin32.so, built in several variants, for the cases the
// real library never shows: a missing export, an Open that fails.
//   DllCFunc(index, value): returns index for a read, value for a write.
//   Open(text): prints "fake Open <text>"; returns null for the first
//     FAKE_PELGRIN_OPEN_FAILURES calls (an environment variable, default 0).
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#ifndef FAKE_PELGRIN_WITHOUT_OPEN
namespace {
int openCalls = 0;
char hostBlock[16];
}  // namespace
#endif

extern "C" {

#ifndef FAKE_PELGRIN_WITHOUT_DLLCFUNC
__attribute__((visibility("default"))) std::int32_t DllCFunc(std::int32_t index, std::int32_t value) {
    return index >= 0 ? index : value;
}
#endif

#ifndef FAKE_PELGRIN_WITHOUT_OPEN
__attribute__((visibility("default"))) void* Open(const char* text) {
    std::printf("fake Open %s\n", text);
    std::fflush(stdout);
    const char* failures = std::getenv("FAKE_PELGRIN_OPEN_FAILURES");
    const int failing = failures != nullptr ? std::atoi(failures) : 0;
    return openCalls++ < failing ? nullptr : hostBlock;
}
#endif
}
