#pragma once

#include <QString>
#include <QStringView>

namespace glidra::linux_platform {

// The desktops the session runs, as XDG_CURRENT_DESKTOP names them: a list
// separated by colons, the most specific first ("ubuntu:GNOME").
QString currentDesktop();

// Whether `name` is one of the desktops of such a list, in any case.
bool namesDesktop(const QString& currentDesktop, QStringView name);

}  // namespace glidra::linux_platform
