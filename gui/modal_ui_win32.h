#pragma once
#include "gui/modal_ui.h"

namespace feltrix {

// Modal windows on Windows: message boxes with MessageBoxW, owned by the main
// window when asked and it exists; file dialogs with GetOpenFileNameW and
// GetSaveFileNameW, owned by the main window. Paths come back as UTF-8.
class Win32ModalUi : public ModalUiBackend {
public:
    void messageBox(const std::string& caption, const std::string& text, bool ownedByMainWindow) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
};

}  // namespace feltrix
