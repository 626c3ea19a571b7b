#include "platform/linux/CurrentDesktop.h"

#include <QList>

namespace glidra::linux_platform {

QString currentDesktop() { return qEnvironmentVariable("XDG_CURRENT_DESKTOP"); }

bool namesDesktop(const QString& currentDesktop, QStringView name) {
    const auto desktops = QStringView(currentDesktop).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QStringView desktop : desktops) {
        if (desktop.compare(name, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

}  // namespace glidra::linux_platform
