#pragma once

#include <QFileDevice>
#include <QString>
#include <QStringList>

namespace glidra {

// The files that hold the user's own data (the settings, the connection log)
// and the folders they live in are for the user alone, as a mail client or a
// password manager keeps its data: no other local user reads them.

constexpr QFileDevice::Permissions kPrivateFilePermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;

// Makes `folder`, for the user alone, and its missing parents, which keep
// the modes the umask gives; a folder already there is left as it is. True
// when the folder is there.
bool makePrivateFolder(const QString& folder);

// Takes every access of the group and others from the file at `path` and
// from its folder, where they have any; the owner's own bits stay, and a
// symbolic link is left alone. What could not be changed, one text each.
QStringList tightenPrivateFile(const QString& path);

// Removes the temporary copies "<name>.XXXXXX" that a save of `path` through
// QSaveFile leaves beside it when the process is killed in the middle. Only
// for a caller that knows no save of the file is under way. What could not
// be removed, one text each.
QStringList removeInterruptedSaves(const QString& path);

}  // namespace glidra
