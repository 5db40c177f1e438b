#pragma once
// Non-blocking reads from a pipe or socket on standard input, for passthrough
// mode. A terminal, a regular file or /dev/null is not drained at all.
#include <cstddef>

namespace feltrix {

class PassthroughInput {
public:
    explicit PassthroughInput(int fd);
    // True when the descriptor is a pipe or a socket.
    bool usable() const { return usable_; }
    // Reads up to capacity bytes if any are waiting, without ever blocking.
    // Returns the number of bytes read; 0 when nothing is waiting, at end of
    // input, or on an error.
    std::size_t readAvailable(char* buffer, std::size_t capacity);

private:
    int fd_;
    bool usable_;
};

}  // namespace feltrix
