#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

namespace glidra::linux_platform {

struct FileWriteFailure {
    // ResourceError when the disk is full.
    QFileDevice::FileError error = QFileDevice::UnspecifiedError;
    QString description;
};

// Replaces the file at `path` with `contents` through a QSaveFile. Every byte
// must reach the disk before the new file takes the old one's place: a short
// write (a full disk, a file size limit) cancels the save, and the file keeps
// what it held.
std::optional<FileWriteFailure> writeFileAtomically(const QString& path, const QByteArray& contents);

}  // namespace glidra::linux_platform
