#include "tools/acquire/system.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>

namespace eegsim {
namespace {
volatile sig_atomic_t stopFlag = 0;

void onStopSignal(int) { stopFlag = 1; }
}  // namespace

double monotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void sleepUntil(double when) {
    timespec target{};
    double whole = std::floor(when);
    target.tv_sec = static_cast<time_t>(whole);
    target.tv_nsec = static_cast<long>((when - whole) * 1e9);
    if (target.tv_nsec >= 1000000000L) target.tv_nsec = 999999999L;
    // A signal interrupts the sleep; go back to sleep unless it asked to stop.
    while (!stopFlag && clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &target, nullptr) == EINTR) {
    }
}

void installStopHandler() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: the sleep returns at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool stopRequested() { return stopFlag != 0; }

bool standardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

std::size_t terminalColumns() {
    winsize size{};
    return ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

}  // namespace eegsim
