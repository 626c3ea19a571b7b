#pragma once

#include "settings/ConfigurationArchive.h"

#include <QString>
#include <QUuid>

namespace glidra {

// A file that was read and decoded and waits for the user's confirmation.
// Each read makes a new id, so reading the same file again asks again.
struct ConfigurationImportRequest {
    QUuid id;
    ConfigurationArchive archive;
    QString fileName;  // the chosen file's last path component
};

}  // namespace glidra
