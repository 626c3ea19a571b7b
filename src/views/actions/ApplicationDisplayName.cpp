#include "views/actions/ApplicationDisplayName.h"

#include "actions/ApplicationTarget.h"
#include "common/Localized.h"
#include "platform/Workspace.h"

#include <QFileInfo>

namespace glidra {

QString applicationDisplayName(const QString& bundleIdentifier, Workspace& workspace) {
    if (bundleIdentifier.isEmpty()) return localized(GLIDRA_TEXT("所有应用"));
    const auto location = workspace.applicationLocation(bundleIdentifier);
    if (!location) return localized(GLIDRA_TEXT("指定应用（当前未安装）"));
    // An entry found by its id that then fails to read is still installed:
    // fall back to its file name, as a file manager would show it.
    QString name;
    if (const auto bundle = workspace.loadApplicationBundle(*location)) name = bundle->displayName;
    if (name.isEmpty()) name = QFileInfo(*location).fileName();
    return withoutAppExtension(name);
}

}  // namespace glidra
