#pragma once

#include <QIcon>
#include <QString>

#include <optional>

namespace glidra {

// The icon shown beside a chosen file, folder or application: the icon theme's
// icon when a desktop entry names one, else the file icon the desktop gives
// for the path, else the kit's placeholder for a path that is gone.
QIcon targetIcon(const QString& path, const std::optional<QString>& iconName = std::nullopt);

// The icon a desktop entry's Icon= names: a theme icon or a file; a null
// icon when there is no such icon.
QIcon entryIcon(const QString& iconName);

}  // namespace glidra
