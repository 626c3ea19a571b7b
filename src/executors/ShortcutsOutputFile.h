#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>

namespace glidra {

// The private file that takes the Shortcuts tool's standard output for one
// call. It is made new, never reused, and removed when the object goes, but
// only when this object made it: a file that was there before is neither
// opened nor removed.
class ShortcutsOutputFile {
public:
    explicit ShortcutsOutputFile(QString path) : path_(std::move(path)) {}
    ShortcutsOutputFile(const ShortcutsOutputFile&) = delete;
    ShortcutsOutputFile& operator=(const ShortcutsOutputFile&) = delete;
    ~ShortcutsOutputFile();

    // Makes the file, readable and writable by the user alone; an existing
    // file of that name is an error, described in `error`.
    bool create(QString* error);

    // At most `limit` bytes, and whether there was more; nothing when the
    // file cannot be read.
    std::optional<std::pair<QByteArray, bool>> read(qint64 limit) const;

    const QString& path() const { return path_; }

private:
    QString path_;
    bool created_ = false;
};

}  // namespace glidra
