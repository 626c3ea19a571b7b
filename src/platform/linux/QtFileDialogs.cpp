#include "platform/linux/QtFileDialogs.h"

#include <QFileDialog>
#include <QPointer>

namespace glidra::linux_platform {

namespace {

std::optional<QString> run(QFileDialog& dialog) {
    dialog.setWindowModality(Qt::WindowModal);
    // The panel's own loop: the only place the program nests one.
    const QPointer<QFileDialog> guard(&dialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (!guard || !accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.front();
}

}  // namespace

std::optional<QString> QtFileDialogs::openFile(QWidget* parent, const OpenRequest& request) {
    QFileDialog dialog(parent, request.title, request.directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (request.choosesDirectories) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!request.nameFilters.isEmpty()) dialog.setNameFilters(request.nameFilters);
    if (!request.acceptLabel.isEmpty()) dialog.setLabelText(QFileDialog::Accept, request.acceptLabel);
    return run(dialog);
}

std::optional<QString> QtFileDialogs::saveFile(QWidget* parent, const SaveRequest& request) {
    QFileDialog dialog(parent, request.title, request.directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.nameFilters.isEmpty()) dialog.setNameFilters(request.nameFilters);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    return run(dialog);
}

}  // namespace glidra::linux_platform
