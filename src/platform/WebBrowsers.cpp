#include "platform/WebBrowsers.h"

#include <array>

namespace glidra {

namespace {

struct KnownBrowser {
    const char* desktopId;
    WebBrowserFamily family;
};

// Debian's packages, the vendors' own packages, Flatpak and Snap.
constexpr std::array knownBrowsers{
    KnownBrowser{"chromium.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"chromium-browser.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"org.chromium.Chromium.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"chromium_chromium.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"google-chrome.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"google-chrome-beta.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"google-chrome-unstable.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"com.google.Chrome.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"brave-browser.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"com.brave.Browser.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"microsoft-edge.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"com.microsoft.Edge.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"vivaldi-stable.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"opera.desktop", WebBrowserFamily::chromium},
    KnownBrowser{"firefox-esr.desktop", WebBrowserFamily::firefox},
    KnownBrowser{"firefox.desktop", WebBrowserFamily::firefox},
    KnownBrowser{"org.mozilla.firefox.desktop", WebBrowserFamily::firefox},
    KnownBrowser{"firefox_firefox.desktop", WebBrowserFamily::firefox},
};

}  // namespace

std::optional<WebBrowserFamily> webBrowserFamily(const QString& desktopId) {
    for (const auto& browser : knownBrowsers) {
        if (desktopId == QLatin1String(browser.desktopId)) return browser.family;
    }
    return std::nullopt;
}

}  // namespace glidra
