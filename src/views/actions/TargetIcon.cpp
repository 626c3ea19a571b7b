#include "views/actions/TargetIcon.h"

#include "views/kit/Symbols.h"

#include <QFileIconProvider>
#include <QFileInfo>

namespace glidra {

QIcon entryIcon(const QString& iconName) {
    return QFileInfo(iconName).isAbsolute() ? QIcon(iconName) : QIcon::fromTheme(iconName);
}

QIcon targetIcon(const QString& path, const std::optional<QString>& iconName) {
    if (iconName) {
        const QIcon icon = entryIcon(*iconName);
        if (!icon.isNull()) return icon;
    }
    const QFileInfo info(path);
    if (info.exists()) {
        const QIcon icon = QFileIconProvider().icon(info);
        if (!icon.isNull()) return icon;
    }
    return kit::symbolIcon(QStringLiteral("doc"), kit::KitColour::secondary);
}

}  // namespace glidra
