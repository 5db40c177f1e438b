#pragma once
#include "gui/modal_ui.h"

namespace feltrix {

// Modal windows on Windows before the main window exists: message boxes with
// MessageBoxW; file dialogs answer "cancel" (they come with the Win32 window).
class Win32ModalUi : public ModalUiBackend {
public:
    void messageBox(const std::string& caption, const std::string& text, bool ownedByMainWindow) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
};

}  // namespace feltrix
