#pragma once

#include <QString>

namespace glidra {

// The program's reverse-DNS desktop id, without ".desktop": the name of its
// desktop entry, icons and AppStream data, and what it tells the desktop it
// is (QGuiApplication::desktopFileName).
inline QString applicationId() { return QStringLiteral(GLIDRA_APP_ID); }

// The desktop-file id the program's own windows are known by.
inline QString ownDesktopFileId() { return applicationId() + QStringLiteral(".desktop"); }

// An application id as stored or exported: the program's own, from before it
// had a reverse-DNS id, reads as the one it has now.
inline QString currentApplicationId(const QString& stored) {
    return stored == QLatin1String("glidra.desktop") ? ownDesktopFileId() : stored;
}

}  // namespace glidra
