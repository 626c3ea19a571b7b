#include "platform/linux/AtomicFile.h"

#include <QSaveFile>

namespace glidra::linux_platform {

namespace {

FileWriteFailure failureOf(const QSaveFile& file) {
    return {file.error() == QFileDevice::NoError ? QFileDevice::WriteError : file.error(), file.errorString()};
}

}  // namespace

std::optional<FileWriteFailure> writeFileAtomically(const QString& path, const QByteArray& contents) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return failureOf(file);
    // A write that stops short reports no error; the next one, at the same
    // place, says why.
    for (qint64 written = 0; written < contents.size();) {
        const qint64 n = file.write(contents.constData() + written, contents.size() - written);
        if (n <= 0) {
            const FileWriteFailure failure = failureOf(file);
            file.cancelWriting();
            return failure;
        }
        written += n;
    }
    // Whatever the buffer still holds must reach the disk too.
    if (!file.flush()) {
        const FileWriteFailure failure = failureOf(file);
        file.cancelWriting();
        return failure;
    }
    if (!file.commit()) return failureOf(file);
    return std::nullopt;
}

}  // namespace glidra::linux_platform
