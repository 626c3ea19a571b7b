#pragma once

#include <QString>

namespace glidra {

// What the file system holding a folder says about writing there, for
// telling a read-only or full disk apart from other write failures. A folder
// that does not exist yet is judged by its nearest existing parent.
enum class StorageCondition {
    usable,
    readOnly,
    // Not even one block is left for this user.
    full,
};

StorageCondition storageCondition(const QString& folder);

}  // namespace glidra
