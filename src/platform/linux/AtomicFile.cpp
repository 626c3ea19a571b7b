#include "platform/linux/AtomicFile.h"

#include "platform/StorageCondition.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace glidra::linux_platform {

namespace {

// Judged the moment the write stops, with `error` the errno it left: Qt gives
// no error for a short write, and once the save is cancelled its blocks are
// free again, so the disk no longer looks full.
FileWriteFailure failureOf(const QSaveFile& file, int error) {
    FileWriteFailure failure{file.error() == QFileDevice::NoError ? QFileDevice::WriteError : file.error(),
                             file.errorString()};
    if (error == ENOSPC || error == EDQUOT ||
        storageCondition(QFileInfo(file.fileName()).absolutePath()) == StorageCondition::full) {
        failure.error = QFileDevice::ResourceError;
    }
    return failure;
}

}  // namespace

std::optional<FileWriteFailure> writeFileAtomically(const QString& path, const QByteArray& contents,
                                                    std::optional<QFileDevice::Permissions> permissions) {
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) return failureOf(file, errno);
    // Best effort: a file system without modes keeps its own.
    if (permissions) file.setPermissions(*permissions);
    // A write that stops short reports no error; the next one, at the same
    // place, says why.
    for (qint64 written = 0; written < contents.size();) {
        errno = 0;
        const qint64 n = file.write(contents.constData() + written, contents.size() - written);
        if (n <= 0) {
            const FileWriteFailure failure = failureOf(file, errno);
            file.cancelWriting();
            return failure;
        }
        written += n;
    }
    // Whatever the buffer still holds must reach the disk too.
    errno = 0;
    if (!file.flush()) {
        const FileWriteFailure failure = failureOf(file, errno);
        file.cancelWriting();
        return failure;
    }
    errno = 0;
    if (!file.commit()) return failureOf(file, errno);
    return std::nullopt;
}

}  // namespace glidra::linux_platform
