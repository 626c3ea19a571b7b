#include "platform/linux/QtFileDialogs.h"

#include <QFileDialog>

#include <memory>
#include <utility>

namespace glidra::linux_platform {

namespace {

void present(QFileDialog* dialog, QObject* receiver, FileDialogs::Answer answer) {
    Q_ASSERT(receiver);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    // Held by both connections: whichever runs first takes it, so the answer
    // is given at most once and never after the receiver went.
    auto pending = std::make_shared<FileDialogs::Answer>(std::move(answer));
    QObject::connect(receiver, &QObject::destroyed, dialog, [dialog, pending] {
        *pending = {};
        dialog->hide();
        dialog->deleteLater();
    });
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, pending](int result) {
        const FileDialogs::Answer answer = std::exchange(*pending, {});
        if (!answer) return;
        const QStringList chosen = dialog->selectedFiles();
        if (result != QDialog::Accepted || chosen.isEmpty()) {
            answer(std::nullopt);
        } else {
            answer(chosen.front());
        }
    });
    dialog->open();
}

}  // namespace

void QtFileDialogs::openFile(QWidget* parent, const OpenRequest& request, QObject* receiver, Answer answer) {
    auto* dialog = new QFileDialog(parent, request.title, request.directory);
    dialog->setObjectName(QStringLiteral("openPanel"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    if (request.choosesDirectories) {
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    if (!request.nameFilters.isEmpty()) dialog->setNameFilters(request.nameFilters);
    if (!request.acceptLabel.isEmpty()) dialog->setLabelText(QFileDialog::Accept, request.acceptLabel);
    present(dialog, receiver, std::move(answer));
}

void QtFileDialogs::saveFile(QWidget* parent, const SaveRequest& request, QObject* receiver, Answer answer) {
    auto* dialog = new QFileDialog(parent, request.title, request.directory);
    dialog->setObjectName(QStringLiteral("savePanel"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    if (!request.nameFilters.isEmpty()) dialog->setNameFilters(request.nameFilters);
    if (!request.defaultSuffix.isEmpty()) dialog->setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty()) dialog->selectFile(request.fileName);
    present(dialog, receiver, std::move(answer));
}

}  // namespace glidra::linux_platform
