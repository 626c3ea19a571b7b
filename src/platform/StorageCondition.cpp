#include "platform/StorageCondition.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/statvfs.h>

namespace glidra {

StorageCondition storageCondition(const QString& folder) {
    QString existing = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    while (!QFileInfo(existing).isDir()) {
        const QString parent = QFileInfo(existing).path();
        if (parent == existing) break;
        existing = parent;
    }
    // The file system of the path itself, whatever the mount table says.
    struct statvfs storage {};
    if (::statvfs(QFile::encodeName(existing).constData(), &storage) != 0) return StorageCondition::usable;
    if ((storage.f_flag & ST_RDONLY) != 0) return StorageCondition::readOnly;
    // File systems without an inode count report none free; only blocks tell.
    if (storage.f_blocks > 0 && storage.f_bavail == 0) return StorageCondition::full;
    return StorageCondition::usable;
}

}  // namespace glidra
