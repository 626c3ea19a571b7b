#include "executors/ShortcutsOutputFile.h"

#include <QFile>

namespace glidra {

ShortcutsOutputFile::~ShortcutsOutputFile() {
    if (created_) QFile::remove(path_);
}

bool ShortcutsOutputFile::create(QString* error) {
    QFile file(path_);
    created_ = file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!created_) *error = file.errorString();
    return created_;
}

std::optional<std::pair<QByteArray, bool>> ShortcutsOutputFile::read(qint64 limit) const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.read(limit + 1);
    const bool truncated = bytes.size() > limit;
    if (truncated) bytes.truncate(limit);
    return std::make_pair(std::move(bytes), truncated);
}

}  // namespace glidra
