#include "app/command_line.h"

#include <cstring>

namespace feltrix {

bool passthroughRequested(int argc, const char* const* argv) {
    for (int i = 0; i < argc; ++i) {
        if (argv[i] != nullptr && std::strcmp(argv[i], "--passthroughStdin") == 0) return true;
    }
    return false;
}

}  // namespace feltrix
