// The keyboard layout adapter: the legends of real XKB keymaps (us, AZERTY,
// QWERTZ) as xkbcommon compiles them, the scan codes of Qt's xcb platform,
// and the layout of a private X server switched with setxkbmap.

#include "platform/linux/XkbKeyboardLayout.h"
#include "support/NamedKeymaps.h"
#include "support/PrivateXServer.h"
#include "support/QtPrinters.h"
#include "support/SpawnedProcess.h"

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

namespace glidra {
namespace {

using linux_platform::XkbKeyboardLayout;
using Legend = KeyboardLayout::Legend;

struct KeyCase {
    const char* layout;
    std::uint16_t keyCode;  // the program's, that is the US position
    Legend legend;
};

// What the keys type, by their US positions. A dead key reads as its accent.
const KeyCase kKeys[] = {
    {"us", 0, {"a", "A"}},  {"us", 12, {"q", "Q"}}, {"us", 18, {"1", "!"}}, {"us", 41, {";", ":"}},
    {"us", 50, {"`", "~"}}, {"fr", 0, {"q", "Q"}},  {"fr", 12, {"a", "A"}}, {"fr", 13, {"z", "Z"}},
    {"fr", 6, {"w", "W"}},  {"fr", 41, {"m", "M"}}, {"fr", 46, {",", "?"}}, {"fr", 18, {"&", "1"}},
    {"fr", 19, {"é", "2"}}, {"fr", 33, {"^", "¨"}}, {"fr", 39, {"ù", "%"}}, {"de", 16, {"z", "Z"}},
    {"de", 6, {"y", "Y"}},  {"de", 27, {"ß", "?"}}, {"de", 24, {"´", "`"}}, {"de", 33, {"ü", "Ü"}},
    {"de", 50, {"^", "°"}}, {"de", 41, {"ö", "Ö"}},
};

void expectKeysOf(const char* layout, const KeyboardLayout::Legends& legends) {
    for (const KeyCase& key : kKeys) {
        if (std::string_view(key.layout) != layout) continue;
        SCOPED_TRACE(testing::Message() << layout << " key " << key.keyCode);
        EXPECT_EQ(legends.value(key.keyCode), key.legend);
    }
    // Keys that type no character (Tab, Return, Escape, arrows, Space) are
    // not among them: their titles are their names.
    for (const std::uint16_t named : {48, 36, 53, 123, 49, 55}) EXPECT_FALSE(legends.contains(named)) << named;
}

TEST(XkbKeyboardLayoutTest, TheKeysOfACompiledKeymapAreWhatTheyTypeAtTheirUsPositions) {
    for (const char* layout : {"us", "fr", "de"}) {
        SCOPED_TRACE(layout);
        const KeyboardLayout::Legends legends = test::legendsOfLayout(layout);
        ASSERT_FALSE(legends.isEmpty()) << "the XKB data lacks the layout";
        expectKeysOf(layout, legends);
    }
}

TEST(XkbKeyboardLayoutTest, ScanCodesOfQtsXcbPlatformNameTheKernelsKeyPlusEight) {
    const XkbKeyboardLayout layout(":none", true);
    const std::pair<std::uint32_t, std::optional<std::uint16_t>> cases[] = {
        {test::scanCodeOf(KEY_A), 0},
        {test::scanCodeOf(KEY_Q), 12},
        {test::scanCodeOf(KEY_SEMICOLON), 41},
        {test::scanCodeOf(KEY_102ND), 10},
        {test::scanCodeOf(KEY_KP1), 83},
        {test::scanCodeOf(KEY_F5), 96},
        {0, std::nullopt},  // a synthesised event names no key
        {7, std::nullopt},
        {test::scanCodeOf(KEY_PROG1), std::nullopt},  // no code for it
    };
    for (const auto& [scanCode, keyCode] : cases) EXPECT_EQ(layout.keyCodeOfScanCode(scanCode), keyCode) << scanCode;
    // Another platform's scan codes mean something else.
    EXPECT_EQ(XkbKeyboardLayout(":none", false).keyCodeOfScanCode(test::scanCodeOf(KEY_A)), std::nullopt);
}

TEST(XkbKeyboardLayoutTest, WithoutAnXServerTheLayoutCannotBeRead) {
    const XkbKeyboardLayout layout(":none", true);
    EXPECT_TRUE(layout.legends().isEmpty());
    EXPECT_TRUE(layout.legends().isEmpty());
}

TEST(XkbKeyboardLayoutTest, TheXServersLayoutIsReadAnewEachTime) {
    const test::PrivateXServer server;
    if (!server.isRunning()) GTEST_SKIP() << "no private X server: " << server.failure().toStdString();
    const QByteArray display = server.display().toUtf8();
    const auto switchTo = [&display](const char* layout) {
        const auto done = test::runToEnd("setxkbmap", {"-display", display, "-model", "pc105", layout});
        return done && done->exitCode == 0;
    };
    if (!switchTo("us")) GTEST_SKIP() << "setxkbmap cannot switch the layout";

    const XkbKeyboardLayout layout(display, true);
    expectKeysOf("us", layout.legends());
    // The user switches layouts while the program runs.
    for (const char* name : {"fr", "de", "us"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(switchTo(name));
        const KeyboardLayout::Legends legends = layout.legends();
        expectKeysOf(name, legends);
        // The server's keymap says what the compiled one says.
        EXPECT_EQ(legends, test::legendsOfLayout(name));
    }
}

}  // namespace
}  // namespace glidra
