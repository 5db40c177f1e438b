#include "gui/system_error_win32.h"

#include "common/text_win32.h"
#include "gui/modal_ui.h"

namespace feltrix {

std::string systemErrorText(DWORD code, const std::string& context) {
    const std::string number = std::to_string(static_cast<int>(code));
    const std::string systemText = wideToUtf8(systemMessage(code));
    std::string text = context + ": error " + number + ": ";
    // systemMessage's stand-in for a code the system has no text for.
    if (systemText != "error " + std::to_string(code)) text += systemText;
    return text;
}

void showSystemError(DWORD code, const std::string& context) {
    showMessageBox("Error", systemErrorText(code, context), false);
}

void reportLastError(const std::string& context) {
    const DWORD code = GetLastError();
    if (code == 0) {
        showMessageBox("Error", context, false);
    } else {
        showSystemError(code, context);
    }
}

}  // namespace feltrix
