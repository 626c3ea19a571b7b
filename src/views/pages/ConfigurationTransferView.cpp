#include "views/pages/ConfigurationTransferView.h"

#include "views/ViewContext.h"
#include "platform/FileDialogs.h"
#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"
#include "views/kit/ResultLine.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/Symbols.h"
#include "views/pages/ConfigurationImportPreview.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace glidra {

namespace {

const QString jsonFilter = QStringLiteral("JSON (*.json)");

// The file's bytes, at most `limit` of them, or the reason they could not be
// read. Only a regular file is read: opening a FIFO or a device named like a
// configuration would hold the event loop.
Result<QByteArray, QString> readConfigurationFile(const QString& path, qint64 limit) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return Failure{qt_error_string(errno)};
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        return Failure{qt_error_string(error)};
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return Failure{localizedDescription(ConfigurationArchiveError::invalidFile)};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Failure{file.errorString()};
    }
    QByteArray bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError) return Failure{file.errorString()};
    return bytes;
}

// Written whole or not at all; the reason when not.
std::optional<QString> writeConfigurationFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

}  // namespace

ConfigurationTransferView::ConfigurationTransferView(ViewContext& context, QWidget* parent)
    : kit::GroupBox(tr("导入导出配置"), parent),
      context_(context),
      undo_(new QPushButton(tr("撤销上次导入"))),
      result_(new kit::ResultLine) {
    setObjectName(QStringLiteral("configurationTransfer"));
    contentLayout()->setSpacing(12);

    auto* exportButton = new QPushButton(kit::symbolIcon(QStringLiteral("square.and.arrow.up")), tr("导出配置…"));
    exportButton->setObjectName(QStringLiteral("exportConfiguration"));
    auto* importButton = new QPushButton(kit::symbolIcon(QStringLiteral("square.and.arrow.down")), tr("导入配置…"));
    importButton->setObjectName(QStringLiteral("importConfiguration"));
    undo_->setObjectName(QStringLiteral("undoLastImport"));
    undo_->setToolTip(tr("恢复到上次导入之前的配置"));
    result_->setObjectName(QStringLiteral("transferResult"));

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(exportButton);
    buttons->addWidget(importButton);
    buttons->addStretch(1);
    buttons->addWidget(undo_);

    addWidget(
        new kit::StyledLabel(tr("导入或导出手势和边缘设置。"), kit::TextStyle::callout, kit::KitColour::secondary));
    contentLayout()->addLayout(buttons);
    addWidget(result_);

    syncUndo();
    connect(&context_.settings, &ControlSettings::hasConfigurationBackupChanged, this,
            &ConfigurationTransferView::syncUndo);
    connect(exportButton, &QPushButton::clicked, this, &ConfigurationTransferView::exportConfiguration);
    connect(importButton, &QPushButton::clicked, this, &ConfigurationTransferView::chooseImportFile);
    connect(undo_, &QPushButton::clicked, this, &ConfigurationTransferView::undoLastImport);
}

ConfigurationTransferView::~ConfigurationTransferView() {
    // The sheet's actions reach back here: it goes first, then the flag
    // comes down, also when no import was under way.
    if (sheet_) {
        sheet_->disconnect(this);
        delete sheet_.data();
    }
    cancelImport();
}

void ConfigurationTransferView::exportConfiguration() {
    setTransferring(true);
    const auto encoded = context_.settings.makeArchive(context_.clock).encoded();
    if (!encoded) {
        setResult(localizedDescription(encoded.error()), true);
        setTransferring(false);
        return;
    }
    // What is written is the configuration as it was when the user asked.
    context_.fileDialogs.saveFile(
        window(),
        FileDialogs::SaveRequest{tr("导出 Glidra 配置"), {}, exportFileName(), {jsonFilter}, QStringLiteral("json")},
        this,
        [self = QPointer<ConfigurationTransferView>(this), bytes = encoded.value(),
         gestures = context_.settings.rules().size()](std::optional<QString> path) {
            // Gone while the panel was open: its destructor lowered the flag.
            if (self) self->exportChosen(path, bytes, gestures);
        });
}

void ConfigurationTransferView::exportChosen(const std::optional<QString>& path, const QByteArray& bytes,
                                             std::size_t gestures) {
    if (!path) {
        setTransferring(false);
        return;
    }
    if (const auto failure = writeConfigurationFile(*path, bytes)) {
        setResult(*failure, true);
        setTransferring(false);
        return;
    }
    setResult(tr("已导出 %1 个手势和边缘设置。").arg(QString::number(gestures)), false);
    setTransferring(false);
}

void ConfigurationTransferView::chooseImportFile() {
    setTransferring(true);
    context_.fileDialogs.openFile(window(),
                                  FileDialogs::OpenRequest{tr("导入 Glidra 配置"), {}, {jsonFilter}, false, {}}, this,
                                  [self = QPointer<ConfigurationTransferView>(this)](std::optional<QString> path) {
                                      if (self) self->importChosen(path);
                                  });
}

void ConfigurationTransferView::importChosen(const std::optional<QString>& path) {
    if (!path) {
        cancelImport();
        return;
    }
    const auto bytes = readConfigurationFile(*path, readLimit);
    if (!bytes) {
        cancelImport();
        setResult(bytes.error(), true);
        return;
    }
    auto archive = ConfigurationArchive::decode(bytes.value());
    if (!archive) {
        cancelImport();
        setResult(localizedDescription(archive.error()), true);
        return;
    }
    // The flag stays up while the sheet is.
    setPendingImport(
        ConfigurationImportRequest{QUuid::createUuid(), std::move(archive).value(), QFileInfo(*path).fileName()});
}

void ConfigurationTransferView::confirmImport(const ConfigurationArchive& archive) {
    const auto imported = context_.settings.importConfiguration(archive, context_.clock);
    if (!imported) {
        setPendingImport(std::nullopt);
        setResult(localizedDescription(imported.error()), true);
        return;
    }
    setResult(tr("已导入 %1 个手势，可撤销。").arg(QString::number(archive.gestures.size())), false);
    setPendingImport(std::nullopt);
}

void ConfigurationTransferView::undoLastImport() {
    setTransferring(true);
    const auto undone = context_.settings.undoLastImport();
    if (undone) {
        setResult(tr("已恢复导入前的配置。"), false);
    } else {
        setResult(localizedDescription(undone.error()), true);
    }
    setTransferring(false);
}

void ConfigurationTransferView::clearPendingImport() { setPendingImport(std::nullopt); }

void ConfigurationTransferView::cancelImport() {
    setPendingImport(std::nullopt);
    setTransferring(false);
}

void ConfigurationTransferView::setPendingImport(std::optional<ConfigurationImportRequest> request) {
    pendingImport_ = std::move(request);
    if (sheet_ && (!pendingImport_ || presentedRequest_ != pendingImport_->id)) {
        // Closing runs the sheet's dismissal, which sees this state.
        ConfigurationImportPreview* closing = sheet_;
        sheet_ = nullptr;
        closing->done(QDialog::Rejected);
    }
    if (pendingImport_ && !sheet_) presentSheet(*pendingImport_);
}

void ConfigurationTransferView::presentSheet(const ConfigurationImportRequest& request) {
    sheet_ = new ConfigurationImportPreview(
        request.archive, request.fileName, int(context_.settings.rules().size()), [this] { clearPendingImport(); },
        [this, archive = request.archive] { confirmImport(archive); }, window());
    presentedRequest_ = request.id;
    // Dismissed in any way, or destroyed without being closed.
    connect(sheet_, &QDialog::finished, this, [this, id = request.id] { sheetDismissed(id); });
    connect(sheet_, &QObject::destroyed, this, [this, id = request.id] { sheetDismissed(id); });
    sheet_->open();
}

void ConfigurationTransferView::sheetDismissed(const QUuid& request) {
    // Once per sheet: its later destruction changes nothing.
    if (presentedRequest_ != request) return;
    presentedRequest_.reset();
    sheet_ = nullptr;
    // A sheet closed for a newer request leaves that request up.
    if (pendingImport_ && pendingImport_->id != request) return;
    cancelImport();
}

void ConfigurationTransferView::setResult(std::optional<QString> message, bool isError) {
    message_ = std::move(message);
    hasError_ = isError;
    result_->setResult(message_, hasError_);
}

void ConfigurationTransferView::setTransferring(bool transferring) {
    context_.controller.setTransferringConfiguration(transferring);
}

void ConfigurationTransferView::syncUndo() { undo_->setVisible(context_.settings.hasConfigurationBackup()); }

}  // namespace glidra
