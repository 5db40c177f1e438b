#include "gui/modal_ui.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

#include "common/script_lock.h"

namespace feltrix {
namespace {

ModalUiBackend* installedBackend = nullptr;
bool automationForced = false;

struct DialogAnswers {
    std::string fileName;
    std::unique_ptr<std::ifstream> stream;
};

DialogAnswers& dialogAnswers() {
    static DialogAnswers* answers = new DialogAnswers;
    return *answers;
}

// The next answer from FELTRIX_DIALOG_ANSWERS; nothing means cancel.
std::optional<std::string> nextDialogAnswer() {
    const char* fileName = std::getenv("FELTRIX_DIALOG_ANSWERS");
    if (fileName == nullptr || *fileName == '\0') return std::nullopt;
    DialogAnswers& answers = dialogAnswers();
    if (!answers.stream || answers.fileName != fileName) {
        answers.fileName = fileName;
        answers.stream = std::make_unique<std::ifstream>(fileName);
    }
    std::string line;
    if (!std::getline(*answers.stream, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) return std::nullopt;
    return line;
}

}  // namespace

void installModalUiBackend(ModalUiBackend* backend) { installedBackend = backend; }

void enableAutomation() { automationForced = true; }

bool automationEnabled() {
    if (automationForced) return true;
    const char* value = std::getenv("FELTRIX_AUTOMATION");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

void showMessageBox(const std::string& caption, const std::string& text, bool ownedByMainWindow) {
    if (automationEnabled() || installedBackend == nullptr) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        std::fflush(stderr);
        return;
    }
    std::fflush(stdout);
    ModalLockRelease unlocked;
    installedBackend->messageBox(caption, text, ownedByMainWindow);
}

std::optional<std::string> showFileDialog(const FileDialogRequest& request) {
    if (automationEnabled()) return nextDialogAnswer();
    if (installedBackend == nullptr) return std::nullopt;
    ModalLockRelease unlocked;
    return installedBackend->fileDialog(request);
}

void resetDialogAnswers() {
    dialogAnswers().stream.reset();
    dialogAnswers().fileName.clear();
}

}  // namespace feltrix
