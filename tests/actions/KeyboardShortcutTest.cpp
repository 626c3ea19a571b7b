#include "actions/KeyboardShortcut.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

namespace glidra {
namespace {

using namespace modifier_flag;

TEST(KeyboardShortcutTest, RecordedKeysPrintModifiersThenTheKeyTitle) {
    struct Case {
        std::uint16_t keyCode;
        std::uint64_t modifiers;
        std::optional<QString> characters;
        std::uint64_t storedModifiers;
        const char* label;
    };
    const Case cases[] = {
        {53, command, std::nullopt, command, "Super+Esc"},
        {53, shift, QStringLiteral("\x1b"), shift, "Shift+Esc"},
        {17, control | shift, QStringLiteral("t"), control | shift, "Ctrl+Shift+T"},
        {17, capsLock | command, QStringLiteral("t"), command, "Super+T"},  // Caps Lock is not part of a shortcut
        {0x7A, 0x100 | 0x2000000, std::nullopt, 0, "F1"},                   // device and other bits are dropped
        {96, 0, QStringLiteral("\uF708"), 0, "F5"},                         // named keys win over characters
        {96, function, QStringLiteral("x"), function, "Fn+F5"},
        {36, command, QStringLiteral("\r"), command, "Super+Return"},
        {0, function | control | option | shift | command, QStringLiteral("a"), shortcutMask,
         "Fn+Ctrl+Alt+Shift+Super+A"},
        {18, option, QStringLiteral("¡"), option, "Alt+¡"},  // what the key typed, not the key cap
        {0, command, std::nullopt, command, "Super+A"},      // no characters: the option list
        {27, command, QString(), command, "Super+-"},
        {200, 0, std::nullopt, 0, "按键 200"},
        {200, control, QString(), control, "Ctrl+按键 200"},
        {10, 0, std::nullopt, 0, "按键 10"},
        {53, function, std::nullopt, function, "Fn+Esc"},
        {48, command | shift, QStringLiteral("\t"), command | shift, "Shift+Super+Tab"},  // Shift before Super
        {117, 0, QStringLiteral("x"), 0, "向前删除"},
        {76, option, QStringLiteral("3"), option, "Alt+小键盘 Enter"},
        {14, 0, QStringLiteral("é"), 0, "É"},
        {27, 0, QStringLiteral("ß"), 0, "ß"},  // one key stays one character: no "SS"
        {41, control, QStringLiteral("ö"), control, "Ctrl+Ö"},
    };
    for (const auto& c : cases) {
        const auto shortcut = KeyboardShortcut::fromRecordedKey(c.keyCode, c.modifiers, c.characters);
        ASSERT_TRUE(shortcut.has_value()) << c.label;
        EXPECT_EQ(*shortcut, (KeyboardShortcut{c.keyCode, c.storedModifiers, QString::fromUtf8(c.label), std::nullopt}))
            << c.label << " got " << shortcut->label.toStdString();
    }
}

TEST(KeyboardShortcutTest, LabelsOfEarlierVersionsShowTheKeyNames) {
    struct Case {
        const char* what;
        KeyboardShortcut shortcut;
        const char* shown;
    };
    const Case cases[] = {
        {"Ctrl and Alt", {17, control | option, QStringLiteral("⌃⌥T"), std::nullopt}, "Ctrl+Alt+T"},
        {"Shift before Super", {48, command | shift, QStringLiteral("⇧⌘Tab"), std::nullopt}, "Shift+Super+Tab"},
        {"Fn and a symbol", {0, function | command, QStringLiteral("Fn ⌘A"), std::nullopt}, "Fn+Super+A"},
        {"Fn alone", {96, function, QStringLiteral("Fn F5"), std::nullopt}, "Fn+F5"},
        {"a media key", {0, control, QStringLiteral("⌃静音"), ShortcutMediaKey::mute}, "Ctrl+静音"},
        // Caps Lock was never part of the label.
        {"stray flags", {17, capsLock | control, QStringLiteral("⌃T"), std::nullopt}, "Ctrl+T"},
        {"a label of this version", {17, control | option, QStringLiteral("Ctrl+Alt+T"), std::nullopt}, "Ctrl+Alt+T"},
        {"no modifiers", {96, 0, QStringLiteral("F5"), std::nullopt}, "F5"},
        {"a media key alone", {0, 0, QStringLiteral("播放 / 暂停"), ShortcutMediaKey::playPause}, "播放 / 暂停"},
        // "Fn " without the flag is some other title, not the old prefix.
        {"Fn text without the flag", {96, 0, QStringLiteral("Fn key"), std::nullopt}, "Fn key"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.shortcut.displayLabel(), QString::fromUtf8(c.shown));
        // The stored form is untouched.
        EXPECT_EQ(KeyboardShortcut::fromJson(c.shortcut.toJson(), JsonPath()).value(), c.shortcut);
    }
    EXPECT_EQ(modifierNames(command | option | control | shift), QStringLiteral("Ctrl+Alt+Shift+Super"));
    EXPECT_EQ(modifierPrefix(0), QString());
}

TEST(KeyboardShortcutTest, PlainEscapeIsNoShortcut) {
    EXPECT_EQ(KeyboardShortcut::fromRecordedKey(53, 0, std::nullopt), std::nullopt);
    // Caps Lock alone does not make Escape a shortcut either.
    EXPECT_EQ(KeyboardShortcut::fromRecordedKey(53, capsLock, QStringLiteral("\x1b")), std::nullopt);
}

TEST(KeyboardShortcutTest, JsonRoundTripsAndOmitsAnAbsentMediaKey) {
    const KeyboardShortcut plain{17, command | shift, QStringLiteral("⇧⌘T"), std::nullopt};
    EXPECT_EQ(QJsonDocument(plain.toJson().toObject()).toJson(QJsonDocument::Compact),
              QByteArray(R"({"keyCode":17,"label":"⇧⌘T","modifiers":1179648})"));
    EXPECT_EQ(KeyboardShortcut::fromJson(plain.toJson(), JsonPath()).value(), plain);

    const KeyboardShortcut media{0, 0, QStringLiteral("播放 / 暂停"), ShortcutMediaKey::playPause};
    EXPECT_EQ(media.toJson()[u"mediaKey"].toString(), QStringLiteral("playPause"));
    EXPECT_EQ(KeyboardShortcut::fromJson(media.toJson(), JsonPath()).value(), media);
}

TEST(KeyboardShortcutTest, DecodingRejectsMissingAndOutOfRangeFields) {
    struct Case {
        const char* json;
        JsonError::Kind kind;
        const char* path;
    };
    const Case cases[] = {
        {R"({"keyCode":17,"modifiers":0})", JsonError::Kind::missingKey, "shortcut.label"},
        {R"({"keyCode":70000,"modifiers":0,"label":"x"})", JsonError::Kind::outOfRange, "shortcut.keyCode"},
        {R"({"keyCode":17,"modifiers":-1,"label":"x"})", JsonError::Kind::outOfRange, "shortcut.modifiers"},
        {R"({"keyCode":17.5,"modifiers":0,"label":"x"})", JsonError::Kind::dataCorrupted, "shortcut.keyCode"},
        {R"({"keyCode":17,"modifiers":0,"label":"x","mediaKey":"volumeMax"})", JsonError::Kind::dataCorrupted,
         "shortcut.mediaKey"},
    };
    for (const auto& c : cases) {
        const auto result =
            KeyboardShortcut::fromJson(QJsonDocument::fromJson(c.json).object(), JsonPath(QStringLiteral("shortcut")));
        ASSERT_FALSE(result.ok()) << c.json;
        EXPECT_EQ(result.error().kind, c.kind) << c.json;
        EXPECT_EQ(result.error().path, QString::fromUtf8(c.path)) << c.json;
    }
}

TEST(ShortcutMediaKeyTest, MediaKeyEventsCarryTheKeyTypeAndPressState) {
    EXPECT_EQ(enumAllCases<ShortcutMediaKey>().size(), 10u);
    EXPECT_EQ(title(ShortcutMediaKey::playPause), QStringLiteral("播放 / 暂停"));
    EXPECT_EQ(keyType(ShortcutMediaKey::keyboardBrightnessDown), 22);

    const InputEvent down = mediaKeyEvent(ShortcutMediaKey::volumeUp, true);
    EXPECT_EQ(down.type, InputEvent::Type::systemDefined);
    EXPECT_EQ(down.subtype, 8);
    EXPECT_EQ(down.data1, 0xA00);
    EXPECT_EQ(down.data2, -1);
    EXPECT_EQ(down.flags, 0u);
    EXPECT_EQ(down.origin, EventOrigin::ownProcess);

    const InputEvent up = mediaKeyEvent(ShortcutMediaKey::playPause, false, shift | option);
    EXPECT_EQ(up.data1, 0x100B00);
    EXPECT_EQ(up.flags, shift | option);
}

}  // namespace
}  // namespace glidra
