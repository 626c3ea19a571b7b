#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace glidra {

// Bookmarks that keep finding a chosen file or folder after it moved.
class FileBookmarks {
public:
    virtual ~FileBookmarks() = default;

    // Where the bookmarked item is now, without asking the user or mounting
    // anything; nothing when the bookmark does not resolve.
    virtual std::optional<QString> resolve(const QByteArray& bookmark) = 0;
};

}  // namespace glidra
