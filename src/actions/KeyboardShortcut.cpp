#include "actions/KeyboardShortcut.h"

#include "actions/ShortcutKeyOption.h"
#include "common/Localized.h"

namespace glidra {

namespace {

constexpr std::uint16_t kEscapeKeyCode = 53;

QString keyTitle(std::uint16_t keyCode, const std::optional<QString>& characters) {
    // Named keys first: F5 or Return would otherwise print as whatever
    // control character the event carried.
    for (const auto& option : ShortcutKeyOption::specialAndFunctionKeys()) {
        if (option.keyCode == keyCode) return option.title;
    }
    if (characters && !characters->isEmpty()) return characters->toUpper();
    for (const auto& option : ShortcutKeyOption::all()) {
        if (!option.mediaKey && option.keyCode == keyCode) return option.title;
    }
    return localized(GLIDRA_TEXT("按键 %1")).arg(keyCode);
}

}  // namespace

QString modifierSymbols(std::uint64_t modifiers) {
    QString symbols;
    if (modifiers & modifier_flag::function) symbols += QStringLiteral("Fn ");
    if (modifiers & modifier_flag::control) symbols += QStringLiteral("⌃");
    if (modifiers & modifier_flag::option) symbols += QStringLiteral("⌥");
    if (modifiers & modifier_flag::shift) symbols += QStringLiteral("⇧");
    if (modifiers & modifier_flag::command) symbols += QStringLiteral("⌘");
    return symbols;
}

std::optional<KeyboardShortcut> KeyboardShortcut::fromRecordedKey(std::uint16_t keyCode, std::uint64_t modifiers,
                                                                  const std::optional<QString>& characters) {
    const std::uint64_t kept = modifiers & modifier_flag::shortcutMask;
    if (keyCode == kEscapeKeyCode && kept == 0) return std::nullopt;

    return KeyboardShortcut{keyCode, kept, modifierSymbols(kept) + keyTitle(keyCode, characters), std::nullopt};
}

QJsonValue KeyboardShortcut::toJson() const {
    return JsonObjectWriter()
        .set(u"keyCode", keyCode)
        .set(u"modifiers", modifiers)
        .set(u"label", label)
        .set(u"mediaKey", mediaKey);
}

JsonResult<KeyboardShortcut> KeyboardShortcut::fromJson(const QJsonValue& json, const JsonPath& path) {
    JsonObjectReader in(json, path);
    KeyboardShortcut shortcut;
    shortcut.keyCode = in.required<std::uint16_t>(u"keyCode");
    shortcut.modifiers = in.required<std::uint64_t>(u"modifiers");
    shortcut.label = in.required<QString>(u"label");
    shortcut.mediaKey = in.optional<ShortcutMediaKey>(u"mediaKey");
    if (in.failed()) return Failure{in.error()};
    return shortcut;
}

}  // namespace glidra
