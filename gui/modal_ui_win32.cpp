#include "gui/modal_ui_win32.h"

#include <windows.h>
#include <commdlg.h>

#include "common/text_win32.h"
#include "gui/main_window_win32.h"

namespace feltrix {
namespace {

// Zero-separated display/pattern pairs, ending with one more zero.
std::wstring filterText(const FileDialogRequest& request) {
    std::wstring filter;
    for (const auto& [display, pattern] : request.filters) {
        filter += utf8ToWide(display) + L'\0' + utf8ToWide(pattern) + L'\0';
    }
    return filter + L'\0';
}

}  // namespace

void Win32ModalUi::messageBox(const std::string& caption, const std::string& text, bool ownedByMainWindow) {
    MessageBoxW(ownedByMainWindow ? mainWindowHandle() : nullptr, utf8ToWide(text).c_str(),
                utf8ToWide(caption).c_str(), MB_OK);
}

std::optional<std::string> Win32ModalUi::fileDialog(const FileDialogRequest& request) {
    const std::wstring filter = filterText(request);
    const std::wstring extension = utf8ToWide(request.defaultExtension);
    std::wstring path(2048, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = mainWindowHandle();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    // The process's current folder stays where it was.
    dialog.Flags = OFN_NOCHANGEDIR;
    BOOL chosen = FALSE;
    if (request.save) {
        if (request.confirmOverwrite) dialog.Flags |= OFN_OVERWRITEPROMPT;
        if (!extension.empty()) dialog.lpstrDefExt = extension.c_str();
        chosen = GetSaveFileNameW(&dialog);
    } else {
        if (request.mustExist) dialog.Flags |= OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameW(&dialog);
    }
    if (!chosen) return std::nullopt;
    return wideToUtf8(path.c_str());
}

}  // namespace feltrix
