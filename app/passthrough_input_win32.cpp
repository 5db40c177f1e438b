// Passthrough standard input on Windows: a pipe from the parent process is
// peeked (PeekNamedPipe) and read (ReadFile) only when bytes are waiting, so
// a read never blocks. A console, a file or no standard input at all gives
// no reads.
#include <windows.h>

#include <algorithm>

#include "app/passthrough_input.h"

namespace feltrix {

PassthroughInput::PassthroughInput()
    : handle_(reinterpret_cast<std::intptr_t>(GetStdHandle(STD_INPUT_HANDLE))), usable_(false) {
    const HANDLE input = reinterpret_cast<HANDLE>(handle_);
    usable_ = input != nullptr && input != INVALID_HANDLE_VALUE && GetFileType(input) == FILE_TYPE_PIPE;
}

std::size_t PassthroughInput::readAvailable(char* buffer, std::size_t capacity) {
    if (!usable_ || capacity == 0) return 0;
    const HANDLE input = reinterpret_cast<HANDLE>(handle_);
    char first = 0;
    DWORD peeked = 0;
    DWORD waiting = 0;
    // Fails on a broken pipe; 0 bytes waiting ends the draining too.
    if (!PeekNamedPipe(input, &first, 1, &peeked, &waiting, nullptr) || waiting == 0) return 0;
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(capacity, waiting));
    if (!ReadFile(input, buffer, wanted, &got, nullptr)) return 0;
    return got;
}

}  // namespace feltrix
