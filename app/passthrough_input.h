#pragma once
// Non-blocking reads from a pipe on standard input, for passthrough mode. A
// console or terminal, a regular file or the null device is not drained at all.
// One platform file implements it (passthrough_input_posix.cpp or _win32.cpp).
#include <cstddef>
#include <cstdint>

namespace feltrix {

class PassthroughInput {
public:
    // Takes the process's standard input.
    PassthroughInput();
    // True when standard input is a pipe (or, on Linux, a socket).
    bool usable() const { return usable_; }
    // Reads up to capacity bytes if any are waiting, without ever blocking.
    // Returns the number of bytes read; 0 when nothing is waiting, at end of
    // input, or on an error.
    std::size_t readAvailable(char* buffer, std::size_t capacity);

private:
    std::intptr_t handle_;  // the file descriptor or the Windows handle
    bool usable_;
};

}  // namespace feltrix
