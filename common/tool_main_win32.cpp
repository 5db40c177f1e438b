#include "common/tool_main.h"
#include "common/text_win32.h"

// Linked with -municode: the runtime passes the wide command line.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(feltrix::wideToUtf8(argv[i]));
    return toolMain(arguments);
}
