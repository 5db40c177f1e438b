#include "app/passthrough_input.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace feltrix {

PassthroughInput::PassthroughInput() : handle_(STDIN_FILENO), usable_(false) {
    struct stat info {};
    if (fstat(STDIN_FILENO, &info) == 0) usable_ = S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode);
}

std::size_t PassthroughInput::readAvailable(char* buffer, std::size_t capacity) {
    if (!usable_ || capacity == 0) return 0;
    const int fd = static_cast<int>(handle_);
    pollfd request{fd, POLLIN, 0};
    if (poll(&request, 1, 0) != 1 || (request.revents & POLLIN) == 0) return 0;
    // Only read what is already there, so the read cannot block even if
    // another reader shares the pipe.
    int waiting = 0;
    if (ioctl(fd, FIONREAD, &waiting) != 0 || waiting <= 0) return 0;
    const ssize_t got = read(fd, buffer, std::min(capacity, static_cast<std::size_t>(waiting)));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

}  // namespace feltrix
