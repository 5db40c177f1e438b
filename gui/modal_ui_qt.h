#pragma once
#include "gui/modal_ui.h"

namespace feltrix {

// Message boxes and Qt's own (non-native) file dialogs.
class QtModalUi : public ModalUiBackend {
public:
    void messageBox(const std::string& caption, const std::string& text, bool ownedByMainWindow) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
};

}  // namespace feltrix
