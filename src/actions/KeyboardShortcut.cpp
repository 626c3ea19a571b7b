#include "actions/KeyboardShortcut.h"

#include "actions/ShortcutKeyOption.h"
#include "common/Localized.h"

#include <QStringList>

#include <utility>

namespace glidra {

namespace {

constexpr std::uint16_t kEscapeKeyCode = 53;

QString keyTitle(std::uint16_t keyCode, const std::optional<QString>& characters) {
    // Named keys first: F5 or Return would otherwise print as whatever
    // control character the event carried.
    for (const auto& option : ShortcutKeyOption::specialAndFunctionKeys()) {
        if (option.keyCode == keyCode) return option.title;
    }
    if (characters && !characters->isEmpty()) return ShortcutKeyOption::titleOfCharacters(*characters);
    for (const auto& option : ShortcutKeyOption::all()) {
        if (!option.mediaKey && option.keyCode == keyCode) return option.title;
    }
    return localized(GLIDRA_TEXT("按键 %1")).arg(keyCode);
}

}  // namespace

QString modifierNames(std::uint64_t modifiers) {
    static constexpr std::pair<std::uint64_t, const char*> kNames[] = {
        {modifier_flag::function, "Fn"}, {modifier_flag::control, "Ctrl"},  {modifier_flag::option, "Alt"},
        {modifier_flag::shift, "Shift"}, {modifier_flag::command, "Super"},
    };
    QStringList names;
    for (const auto& [flag, name] : kNames) {
        if (modifiers & flag) names.append(QLatin1String(name));
    }
    return names.join(QLatin1Char('+'));
}

QString modifierPrefix(std::uint64_t modifiers) {
    const QString names = modifierNames(modifiers);
    return names.isEmpty() ? names : names + QLatin1Char('+');
}

QString KeyboardShortcut::displayLabel() const {
    static const QString kFunction = QStringLiteral("Fn ");
    // The modifier symbols that labels stored by earlier versions begin with;
    // read only to rewrite them, never shown.
    static const QString kSymbols = QStringLiteral("\u2303\u2325\u21E7\u2318");
    qsizetype start = label.startsWith(kFunction) ? kFunction.size() : 0;
    const qsizetype afterFunction = start;
    while (start < label.size() && kSymbols.contains(label.at(start))) ++start;
    // Neither "Fn " nor a symbol: a label of this version, or a media key's.
    if (start == 0) return label;
    // "Fn " alone could begin a key title of its own; only the symbols and the
    // flag together make it the old prefix.
    if (start == afterFunction && !(modifiers & modifier_flag::function)) return label;
    return modifierPrefix(modifiers & modifier_flag::shortcutMask) + label.mid(start);
}

std::optional<KeyboardShortcut> KeyboardShortcut::fromRecordedKey(std::uint16_t keyCode, std::uint64_t modifiers,
                                                                  const std::optional<QString>& characters) {
    const std::uint64_t kept = modifiers & modifier_flag::shortcutMask;
    if (keyCode == kEscapeKeyCode && kept == 0) return std::nullopt;

    return KeyboardShortcut{keyCode, kept, modifierPrefix(kept) + keyTitle(keyCode, characters), std::nullopt};
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
