#include "gui/modal_ui_qt.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "gui/main_window_qt.h"
#include "gui/text_qt.h"

namespace feltrix {
namespace {

// "Display (*.a;*.b)" entries for Qt from display/pattern pairs.
QString nameFilters(const FileDialogRequest& request) {
    QStringList filters;
    for (const auto& [display, pattern] : request.filters) {
        QString patterns = toQt(pattern);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(toQt(display), patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace

void QtModalUi::messageBox(const std::string& caption, const std::string& text, bool ownedByMainWindow) {
    QMessageBox box(QMessageBox::NoIcon, toQt(caption), toQt(text), QMessageBox::Ok,
                    ownedByMainWindow ? mainWindow() : nullptr);
    box.exec();
}

std::optional<std::string> QtModalUi::fileDialog(const FileDialogRequest& request) {
    QFileDialog dialog(mainWindow());
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilter(nameFilters(request));
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
        if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(toQt(request.defaultExtension));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return fromQt(dialog.selectedFiles().first());
}

}  // namespace feltrix
