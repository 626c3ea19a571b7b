#pragma once

#include <QString>

#include <optional>

namespace glidra {

// The browsers whose pages and videos the program reads and controls, known
// by the desktop-file id of their application (what FrontmostApplication
// reports). Each family shares one way of being reached.
enum class WebBrowserFamily {
    chromium,  // Chromium and the browsers built on it: Chrome, Brave, Edge, Vivaldi, Opera
    firefox,
};

// The family of the browser with this desktop-file id, compared as an exact
// string; nothing for any other application.
std::optional<WebBrowserFamily> webBrowserFamily(const QString& desktopId);

}  // namespace glidra
