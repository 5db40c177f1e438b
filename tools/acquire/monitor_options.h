#pragma once
// The command line of feltrix-acquire --monitor, and the command itself
// (monitor_command.cpp).
#include <string>
#include <vector>

#include "tools/acquire/monitor_selection.h"

namespace eegsim::monitor {

struct MonitorOptions {
    Selection selection = everything();
    bool plain = false;  // also when standard output is not a console
    std::string recordPath;
    std::string libraryPath;
    bool help = false;
};

// Whether the arguments ask for the monitor (--monitor among them).
bool isMonitorCommand(const std::vector<std::string>& arguments);

// Parses the arguments (without the program name). Options of the writing
// stand-in are refused. On failure returns false with a one-line message.
bool parseMonitorOptions(const std::vector<std::string>& arguments, MonitorOptions& options, std::string& error);

std::string monitorUsageText();

// Runs feltrix-acquire --monitor; returns the exit code.
int runMonitorCommand(const std::vector<std::string>& arguments);

}  // namespace eegsim::monitor
