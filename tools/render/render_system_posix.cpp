#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "tools/render/render_system.h"

namespace feltrix::render {

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

std::string absolutePath(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    std::vector<char> folder(4096);
    while (getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) return path;
        folder.resize(folder.size() * 2);
    }
    return std::string(folder.data()) + "/" + path;
}

bool changeDirectory(const std::string& folder, std::string& error) {
    if (chdir(folder.c_str()) == 0) return true;
    error = std::strerror(errno);
    return false;
}

double processorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace feltrix::render
