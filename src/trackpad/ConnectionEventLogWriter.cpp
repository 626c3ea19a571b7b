#include "trackpad/ConnectionEventLogWriter.h"

#include "platform/LogCategories.h"
#include "platform/PrivateFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace glidra {

namespace {

void cannotWrite(const QString& path, const QString& reason) {
    qCWarning(lcRecovery).noquote() << "cannot write the connection log" << path << "-" << reason;
}

}  // namespace

ConnectionEventLogWriter::ConnectionEventLogWriter(QString path, qint64 maximumBytes)
    : path_(std::move(path)), maximumBytes_(maximumBytes) {}

void ConnectionEventLogWriter::tidy() const {
    if (!QFileInfo(QFileInfo(path_).absolutePath()).isDir()) return;
    for (const QString& failure : tightenPrivateFile(path_)) {
        qCWarning(lcRecovery).noquote() << "cannot keep the connection log for the user alone:" << failure;
    }
    for (const QString& failure : removeInterruptedSaves(path_)) {
        qCWarning(lcRecovery).noquote() << "cannot remove what an interrupted write of the connection log left:"
                                        << failure;
    }
}

void ConnectionEventLogWriter::append(const ConnectionLogEntry& entry) const {
    auto encoded = entry.encoded();
    if (!encoded) return;
    QByteArray line = std::move(*encoded);
    line.append('\n');
    if (line.size() > maximumBytes_) return;

    const QFileInfo info(path_);
    if (!makePrivateFolder(info.absolutePath())) {
        return cannotWrite(path_, QStringLiteral("its folder cannot be made"));
    }

    // A size that cannot be read counts as an empty file.
    const bool exists = info.exists();
    const qint64 size = exists ? info.size() : 0;
    if (exists && size <= maximumBytes_ - line.size()) {
        QFile file(path_);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly)) {
            return cannotWrite(path_, file.errorString());
        }
        if (file.write(line) != line.size()) cannotWrite(path_, file.errorString());
        file.close();
        return;
    }

    // No file yet, or the line would take it past the cap: the history goes
    // and the file starts again with this line, replaced in one step.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) return cannotWrite(path_, file.errorString());
    file.setPermissions(kPrivateFilePermissions);
    if (file.write(line) != line.size()) {
        cannotWrite(path_, file.errorString());
        file.cancelWriting();
        return;
    }
    if (!file.commit()) cannotWrite(path_, file.errorString());
}

}  // namespace glidra
