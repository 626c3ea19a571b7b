// What the X server's properties say, read at the seam, and the requests the
// window manager gets, built there; no X server needed.

#include "platform/linux/DesktopEntryMatcher.h"
#include "platform/linux/EwmhProperties.h"
#include "platform/linux/QtScreens.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <cstring>

namespace glidra {
namespace {

using namespace linux_platform::ewmh;
using linux_platform::DesktopEntryMatcher;

PropertyReply items(std::uint32_t type, std::vector<std::uint32_t> values) {
    QByteArray bytes(int(values.size() * 4), '\0');
    if (!values.empty()) std::memcpy(bytes.data(), values.data(), values.size() * 4);
    return {type, 32, bytes};
}

PropertyReply text(std::uint32_t type, const QByteArray& bytes) { return {type, 8, bytes}; }

TEST(EwmhPropertiesTest, ReadsWindowsProcessesAndAtomsOnlyFromWellFormedProperties) {
    EXPECT_EQ(activeWindow(items(kAtomWindow, {0x3a00007})), 0x3a00007u);
    EXPECT_EQ(activeWindow(items(kAtomWindow, {0})), 0u) << "no window has the focus";
    EXPECT_EQ(activeWindow(PropertyReply{}), std::nullopt) << "the window manager does not say";
    EXPECT_EQ(activeWindow(items(kAtomCardinal, {5})), std::nullopt);
    EXPECT_EQ(activeWindow(PropertyReply{kAtomWindow, 32, QByteArray("abc")}), std::nullopt) << "cut short";

    EXPECT_EQ(windowList(items(kAtomWindow, {1, 2, 3})), (std::vector<std::uint32_t>{1, 2, 3}));
    EXPECT_EQ(atoms(items(kAtomAtom, {300, 301})), (std::vector<std::uint32_t>{300, 301}));
    EXPECT_TRUE(atoms(PropertyReply{kAtomAtom, 16, QByteArray(4, '\1')}).empty());

    EXPECT_EQ(processIdentifier(items(kAtomCardinal, {4242})), 4242);
    EXPECT_EQ(processIdentifier(items(kAtomCardinal, {0})), std::nullopt);
    EXPECT_EQ(processIdentifier(items(kAtomCardinal, {0x80000000u})), std::nullopt);
    EXPECT_EQ(processIdentifier(items(kAtomCardinal, {})), std::nullopt);
}

TEST(EwmhPropertiesTest, ReadsTheClassNamesExtentsAndTitles) {
    EXPECT_EQ(wmClass(text(kAtomString, QByteArray("gnome-terminal-server\0Gnome-terminal\0", 37))),
              (WmClass{QStringLiteral("gnome-terminal-server"), QStringLiteral("Gnome-terminal")}));
    EXPECT_EQ(wmClass(text(kAtomString, QByteArray("xterm\0", 6))), (WmClass{QStringLiteral("xterm"), QString()}));
    EXPECT_EQ(wmClass(text(kAtomString, QByteArray("\0\0", 2))), std::nullopt);
    EXPECT_EQ(wmClass(text(kAtomString, QByteArray())), std::nullopt);
    EXPECT_EQ(wmClass(items(kAtomCardinal, {1})), std::nullopt);

    EXPECT_EQ(frameExtents(items(kAtomCardinal, {1, 2, 37, 4})), (FrameExtents{1, 2, 37, 4}));
    EXPECT_EQ(frameExtents(items(kAtomCardinal, {1, 2, 3})), std::nullopt);

    const std::uint32_t utf8 = 400;
    EXPECT_EQ(utf8String(text(utf8, QByteArray("文本编辑器\0", 16)), utf8), QStringLiteral("文本编辑器"));
    EXPECT_EQ(utf8String(text(kAtomString, "Editor"), utf8), std::nullopt);
}

TEST(EwmhPropertiesTest, TheVisibleFrameAddsDecorationsRemovesShadowsAndConvertsBack) {
    const QRectF client(100, 130, 800, 600);
    const FrameExtents titleBar{0, 0, 30, 0};
    const FrameExtents shadow{20, 20, 15, 25};
    EXPECT_EQ(visibleFrame(client, titleBar, {}), QRectF(100, 100, 800, 630));
    EXPECT_EQ(visibleFrame(client, {}, shadow), QRectF(120, 145, 760, 560));
    const QRectF frame(0, 30, 720, 870);
    EXPECT_EQ(visibleFrame(clientRect(frame, titleBar, shadow), titleBar, shadow), frame);
}

TEST(EwmhPropertiesTest, BuildsTheWindowManagerRequests) {
    const std::uint32_t atom = 500;
    const std::uint32_t window = 0x3a00007;
    // Static gravity (10), from a pager (2 << 12), x and y (bits 8, 9), width
    // and height (bits 10, 11).
    EXPECT_EQ(moveResize(atom, window, QPointF(-8, 30.4), QSizeF(720, 869.6)),
              (ClientMessage{window, atom, {10u | 0x2000u | 0xF00u, std::uint32_t(-8), 30, 720, 870}}));
    EXPECT_EQ(moveResize(atom, window, std::nullopt, QSizeF(0, 400)),
              (ClientMessage{window, atom, {10u | 0x2000u | 0xC00u, 0, 0, 1, 400}}));
    EXPECT_EQ(moveResize(atom, window, QPointF(5, 6), std::nullopt),
              (ClientMessage{window, atom, {10u | 0x2000u | 0x300u, 5, 6, 0, 0}}));

    EXPECT_EQ(changeState(atom, window, 0, 301, 302), (ClientMessage{window, atom, {0, 301, 302, 2, 0}}));
    EXPECT_EQ(closeWindow(atom, window), (ClientMessage{window, atom, {0, 2, 0, 0, 0}}));
    EXPECT_EQ(activateWindow(atom, window, 77), (ClientMessage{window, atom, {2, 0, 77, 0, 0}}));
    EXPECT_EQ(iconify(atom, window), (ClientMessage{window, atom, {3, 0, 0, 0, 0}}));
}

// A process environment as /proc shows it: each variable ends with a NUL.
QByteArray environment(std::initializer_list<const char*> variables) {
    QByteArray bytes;
    for (const char* variable : variables) bytes.append(variable).append('\0');
    return bytes;
}

TEST(EwmhPropertiesTest, TheLaunchedDesktopFileCountsOnlyForTheProcessGLibStarted) {
    const QByteArray launched =
        environment({"HOME=/home/u", "GIO_LAUNCHED_DESKTOP_FILE=/usr/share/applications/firefox-esr.desktop",
                     "GIO_LAUNCHED_DESKTOP_FILE_PID=4242"});
    EXPECT_EQ(launchedDesktopFile(launched, 4242), QStringLiteral("/usr/share/applications/firefox-esr.desktop"));
    EXPECT_EQ(launchedDesktopFile(launched, 4243), std::nullopt) << "a child inherited the marks";
    EXPECT_EQ(launchedDesktopFile(environment({"GIO_LAUNCHED_DESKTOP_FILE=/a.desktop"}), 1), std::nullopt);
    EXPECT_EQ(launchedDesktopFile(
                  environment({"GIO_LAUNCHED_DESKTOP_FILE=/a.desktop", "GIO_LAUNCHED_DESKTOP_FILE_PID=1x"}), 1),
              std::nullopt);
    EXPECT_EQ(launchedDesktopFile(QByteArray(), 1), std::nullopt);
}

TEST(DesktopEntryMatcherTest, MatchesByLaunchThenApplicationIdThenStartupClassThenIdAndNeverGuesses) {
    using Entry = DesktopEntryMatcher::Entry;
    const Entry firefox{QStringLiteral("firefox-esr.desktop"),
                        QStringLiteral("/usr/share/applications/firefox-esr.desktop"), QString(),
                        QStringLiteral("Firefox ESR")};
    const Entry terminal{QStringLiteral("org.gnome.Terminal.desktop"), QStringLiteral("/t.desktop"),
                         QStringLiteral("Gnome-terminal"), QStringLiteral("终端")};
    const Entry chrome{QStringLiteral("google-chrome.desktop"), QStringLiteral("/c.desktop"), QString(),
                       QStringLiteral("Google Chrome")};
    const Entry chromeApp{QStringLiteral("chrome-app.desktop"), QStringLiteral("/app.desktop"),
                          QStringLiteral("crx_app"), QStringLiteral("App")};
    const Entry chromeApp2{QStringLiteral("chrome-app2.desktop"), QStringLiteral("/app2.desktop"),
                           QStringLiteral("crx_app"), QStringLiteral("App 2")};
    const std::vector<Entry> entries{firefox, terminal, chrome, chromeApp, chromeApp2};

    using Window = DesktopEntryMatcher::Window;
    struct Case {
        Window window;
        std::optional<Entry> expected;
    };
    const Case cases[] = {
        {{QStringLiteral("Navigator"), QStringLiteral("firefox-esr"), std::nullopt}, firefox},
        {{QStringLiteral("gnome-terminal-server"), QStringLiteral("Gnome-terminal"), std::nullopt}, terminal},
        {{QStringLiteral("google-chrome"), QStringLiteral("Google-chrome"), std::nullopt}, chrome},
        // Started from the terminal's entry, whatever it calls itself.
        {{QStringLiteral("x"), QStringLiteral("X"), QStringLiteral("/t.desktop")}, terminal},
        {{QStringLiteral("x"), QStringLiteral("X"), QStringLiteral("/unknown.desktop")}, std::nullopt},
        // The application id names its entry before the class does.
        {{QStringLiteral("firefox-esr"), QStringLiteral("Firefox-esr"), std::nullopt,
          QStringLiteral("org.gnome.Terminal")},
         terminal},
        {{QStringLiteral("x"), QStringLiteral("X"), QStringLiteral("/c.desktop"), QStringLiteral("org.gnome.Terminal")},
         chrome},
        {{QStringLiteral("navigator"), QStringLiteral("Firefox-esr"), std::nullopt, QStringLiteral("org.example.Gone")},
         firefox},
        // Two entries claim the class: no choice is made.
        {{QStringLiteral("crx_app"), QStringLiteral("Google-chrome"), std::nullopt}, chrome},
        {{QStringLiteral("crx_app"), QStringLiteral("Crx_app"), std::nullopt}, std::nullopt},
        {{QStringLiteral("xterm"), QStringLiteral("XTerm"), std::nullopt}, std::nullopt},
        {{QString(), QString(), std::nullopt}, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DesktopEntryMatcher::match(c.window, entries), c.expected) << c.window.className;
    }
}

TEST(QtScreensTest, ScaledScreensAreReportedInDevicePixelsAroundTheirTopLeft) {
    const QPointF origin(1440, 0);
    EXPECT_EQ(linux_platform::QtScreens::devicePixels(QRectF(1440, 0, 960, 540), origin, 2.0),
              QRectF(1440, 0, 1920, 1080));
    EXPECT_EQ(linux_platform::QtScreens::devicePixels(QRectF(1440, 16, 960, 500), origin, 2.0),
              QRectF(1440, 32, 1920, 1000));
    EXPECT_EQ(linux_platform::QtScreens::devicePixels(QRectF(0, 30, 1440, 870), QPointF(0, 0), 1.0),
              QRectF(0, 30, 1440, 870));
}

}  // namespace
}  // namespace glidra
