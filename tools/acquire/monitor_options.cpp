#include "tools/acquire/monitor_options.h"

#include <algorithm>

#include "tools/acquire/signal_options.h"

namespace eegsim::monitor {

bool isMonitorCommand(const std::vector<std::string>& arguments) {
    return std::find(arguments.begin(), arguments.end(), "--monitor") != arguments.end();
}

std::string monitorUsageText() {
    return R"(Usage: feltrix-acquire --monitor [options]
Watches the shared area that the acquisition application writes, through the
interface library (libpelgrin32.so; on Windows PELGRIN32.DLL), attached as
Feltrix attaches, and never writes to it. Shows every host variable Feltrix
publishes to its script, under the script's names, ten times a second, the
values that changed in the last second highlighted. Ctrl-C stops it.

  --only LIST              show only these, e.g. alpha,theta or left,alpha,value or
                           artifact,events,event3 or leftAlphaValue (comma-separated)
  --plain                  print once a second the variables that changed, one
                           "SECONDS NAME VALUE" line each (the default when standard
                           output is not a console)
  --record FILE            write the values as they change to a CSV file that
                           --replay and feltrix-render --replay read (every
                           variable, whatever --only says)
  --library PATH           the interface library file to load
  --help                   this text
)";
}

bool parseMonitorOptions(const std::vector<std::string>& arguments, MonitorOptions& options, std::string& error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--monitor") continue;
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--plain") {
            options.plain = true;
            continue;
        }
        const bool known = name == "--only" || name == "--record" || name == "--library";
        if (!known && name.rfind("--", 0) == 0) {
            error = name + " cannot be used with --monitor";
            return false;
        }
        if (!takeOptionValue(arguments, i, known, error)) return false;
        const std::string& text = arguments[i];
        if (name == "--only") {
            if (!parseSelection(text, options.selection, error)) return false;
        } else if (name == "--record") {
            options.recordPath = text;
        } else {
            options.libraryPath = text;
        }
    }
    return true;
}

}  // namespace eegsim::monitor
