#pragma once

#include "platform/FileBookmarks.h"

#include <QHash>

namespace glidra::sim {

// Bookmarks that resolve to the paths a test gives them; unknown ones do not
// resolve, as a bookmark of a deleted item does not.
class SimFileBookmarks final : public FileBookmarks {
public:
    std::optional<QString> resolve(const QByteArray& bookmark) override {
        const auto it = paths_.constFind(bookmark);
        if (it == paths_.constEnd()) return std::nullopt;
        return *it;
    }
    void setPath(const QByteArray& bookmark, const QString& path) { paths_.insert(bookmark, path); }

private:
    QHash<QByteArray, QString> paths_;
};

}  // namespace glidra::sim
