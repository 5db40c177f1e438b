#pragma once
// Message boxes and file dialogs: the one place every modal window goes
// through. It honours the automation variables, so that tests answer what a
// person would otherwise answer:
//   FELTRIX_AUTOMATION=1          no message box is shown; each writes the line
//                                 "<caption>: <text>" to standard error and
//                                 returns as if OK was pressed.
//   FELTRIX_DIALOG_ANSWERS=<file> with automation on, each open or save dialog
//                                 takes the next line of <file> as the chosen
//                                 path; an empty line or the end of the file
//                                 means cancel.
// Every modal window gives the script lock back while it is open if the calling
// thread holds it (update cycles go on meanwhile), and takes it back before
// returning.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace feltrix {

struct FileDialogRequest {
    bool save = false;
    // Pairs of display text and pattern, e.g. {"Lua Scripts", "*.lua;*.lj"}.
    std::vector<std::pair<std::string, std::string>> filters;
    // Save dialogs: extension appended when the user types none (without dot).
    std::string defaultExtension;
    // Save dialogs: ask before replacing an existing file.
    bool confirmOverwrite = false;
    // Open dialogs: the chosen file must exist.
    bool mustExist = true;
};

// What a window system offers for modal windows.
class ModalUiBackend {
public:
    virtual ~ModalUiBackend() = default;
    // ownedByMainWindow: false for the start-up and fatal-error boxes, which
    // have no owner.
    virtual void messageBox(const std::string& caption, const std::string& text,
                            bool ownedByMainWindow) = 0;
    // The chosen full path, or nothing when the user cancels.
    virtual std::optional<std::string> fileDialog(const FileDialogRequest& request) = 0;
};

// The backend in use (null: nothing can be shown, boxes are only logged).
void installModalUiBackend(ModalUiBackend* backend);

bool automationEnabled();
// Answers every modal window as under FELTRIX_AUTOMATION=1 from now on
// (programs without a display).
void enableAutomation();

void showMessageBox(const std::string& caption, const std::string& text,
                    bool ownedByMainWindow = true);
std::optional<std::string> showFileDialog(const FileDialogRequest& request);

// Forgets the position in the answers file (tests that change the variable).
void resetDialogAnswers();

}  // namespace feltrix
