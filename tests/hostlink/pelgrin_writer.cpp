// Test helper standing in for the acquisition application: attaches through
// the interface library and writes host variables.
//   pelgrin_writer LIBRARY INDEX=VALUE...
// Each pair is written with DllCFunc(-INDEX, VALUE); INDEX may be an
// extended index (decimal). The shared area's name comes from
// PELGRIN32_AREA_NAME as for every user of the library. Prints one line per
// write with the library's result; exit code 0 when attached.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s LIBRARY INDEX=VALUE...\n", argv[0]);
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "cannot load %s: %s\n", argv[1], dlerror());
        return 3;
    }
    using Open = void* (*)(const char*);
    using DllCFunc = std::int32_t (*)(std::int32_t, std::int32_t);
    auto open = reinterpret_cast<Open>(dlsym(library, "Open"));
    auto dllCFunc = reinterpret_cast<DllCFunc>(dlsym(library, "DllCFunc"));
    if (open == nullptr || dllCFunc == nullptr || open("writer") == nullptr) {
        std::fprintf(stderr, "cannot attach\n");
        return 4;
    }
    for (int i = 2; i < argc; ++i) {
        const char* equals = std::strchr(argv[i], '=');
        if (equals == nullptr) {
            std::fprintf(stderr, "not INDEX=VALUE: %s\n", argv[i]);
            return 2;
        }
        const auto index = static_cast<std::int32_t>(std::strtol(argv[i], nullptr, 10));
        const auto value = static_cast<std::int32_t>(std::strtol(equals + 1, nullptr, 0));
        std::printf("%d=%d -> %d\n", index, value, dllCFunc(-index, value));
    }
    return 0;
}
