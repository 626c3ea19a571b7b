#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

namespace glidra::linux_platform {

struct FileWriteFailure {
    // ResourceError when the disk was full as the write stopped.
    QFileDevice::FileError error = QFileDevice::UnspecifiedError;
    QString description;
};

// Replaces the file at `path` with `contents` through a QSaveFile. Every byte
// must reach the disk before the new file takes the old one's place: a short
// write (a full disk, a file size limit) cancels the save, and the file keeps
// what it held. With `permissions`, the new file has those whatever the old
// one had (otherwise it keeps the old one's, or the umask's for a new file).
std::optional<FileWriteFailure> writeFileAtomically(const QString& path, const QByteArray& contents,
                                                    std::optional<QFileDevice::Permissions> permissions = std::nullopt);

}  // namespace glidra::linux_platform
