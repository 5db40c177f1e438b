#include "gui/win32_modal_ui.h"

#include <windows.h>

#include "common/win32_text.h"

namespace feltrix {

void Win32ModalUi::messageBox(const std::string& caption, const std::string& text, bool) {
    MessageBoxW(nullptr, utf8ToWide(text).c_str(), utf8ToWide(caption).c_str(), MB_OK);
}

std::optional<std::string> Win32ModalUi::fileDialog(const FileDialogRequest&) { return std::nullopt; }

}  // namespace feltrix
