#pragma once

#include <QString>

namespace glidra {

class Workspace;

// The name shown for a rule's application: "所有应用" for none, the installed
// application's own name (on Linux the desktop entry's localised name), or
// "指定应用（当前未安装）". Only the identifier counts, so an application
// installed elsewhere under the same identifier is named by where it is now.
QString applicationDisplayName(const QString& bundleIdentifier, Workspace& workspace);

}  // namespace glidra
