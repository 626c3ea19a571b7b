#include "actions/ShortcutKeyOption.h"

#include "common/Localized.h"
#include "platform/EventMarkers.h"

namespace glidra {

namespace {

struct KeyRow {
    std::uint16_t keyCode;
    const char* title;
    bool localizedTitle = false;
};

constexpr KeyRow kSpecialKeys[] = {
    {48, "Tab"},
    {53, "Esc"},
    {49, "Space"},
    {36, "Return"},
    {51, "Delete"},
    {117, GLIDRA_TEXT("向前删除"), true},
    {123, "←"},
    {124, "→"},
    {125, "↓"},
    {126, "↑"},
    {115, "Home"},
    {119, "End"},
    {116, "Page Up"},
    {121, "Page Down"},
    {76, GLIDRA_TEXT("小键盘 Enter"), true},
    {114, "Help / Insert"},
    // Pressed alone, it opens the desktop's overview or launcher.
    {55, "Super"},
};

// F1 ... F20.
constexpr std::uint16_t kFunctionKeyCodes[] = {122, 120, 99,  118, 96,  97,  98, 100, 101, 109,
                                               103, 111, 105, 107, 113, 106, 64, 79,  80,  90};

// Stored key codes of the US layout, A ... Z.
constexpr std::uint16_t kLetterKeyCodes[] = {0,  11, 8,  2,  14, 3, 5,  4,  34, 38, 40, 37, 46,
                                             45, 31, 35, 12, 15, 1, 17, 32, 9,  13, 7,  16, 6};

// Stored key codes of the US layout, 0 ... 9.
constexpr std::uint16_t kDigitKeyCodes[] = {29, 18, 19, 20, 21, 23, 22, 26, 28, 25};

constexpr KeyRow kPunctuationKeys[] = {
    {50, "`"}, {27, "-"}, {24, "="}, {33, "["}, {30, "]"}, {42, "\\"},
    {41, ";"}, {39, "'"}, {43, ","}, {47, "."}, {44, "/"},
};

constexpr std::size_t kNamedKeyCount = std::size(kSpecialKeys) + std::size(kFunctionKeyCodes);
// The letters, digits and punctuation follow the named keys.
constexpr std::size_t kTypingKeyCount =
    std::size(kLetterKeyCodes) + std::size(kDigitKeyCodes) + std::size(kPunctuationKeys);

// A PC keyboard has Print, Scroll Lock and Pause where F13 to F15 sit, and
// those are the keys these codes send here.
QString functionKeyTitle(std::size_t number) {
    switch (number) {
        case 13:
            return QStringLiteral("Print");
        case 14:
            return QStringLiteral("Scroll Lock");
        case 15:
            return QStringLiteral("Pause");
        default:
            return QStringLiteral("F%1").arg(number);
    }
}

ShortcutKeyOption option(const KeyRow& row) {
    return {row.keyCode, row.localizedTitle ? localized(row.title) : QString::fromUtf8(row.title), std::nullopt};
}

std::vector<ShortcutKeyOption> buildAll() {
    std::vector<ShortcutKeyOption> options;
    for (const auto& row : kSpecialKeys) options.push_back(option(row));
    for (std::size_t i = 0; i < std::size(kFunctionKeyCodes); ++i) {
        options.push_back({kFunctionKeyCodes[i], functionKeyTitle(i + 1), std::nullopt});
    }
    for (std::size_t i = 0; i < std::size(kLetterKeyCodes); ++i) {
        options.push_back({kLetterKeyCodes[i], QString(QChar(char16_t(u'A' + i))), std::nullopt});
    }
    for (std::size_t i = 0; i < std::size(kDigitKeyCodes); ++i) {
        options.push_back({kDigitKeyCodes[i], QString(QChar(char16_t(u'0' + i))), std::nullopt});
    }
    for (const auto& row : kPunctuationKeys) options.push_back(option(row));
    for (ShortcutMediaKey key : enumAllCases<ShortcutMediaKey>()) options.push_back({0, title(key), key});
    return options;
}

}  // namespace

QString ShortcutKeyOption::id() const {
    if (mediaKey) return QStringLiteral("media:") + enumRaw(*mediaKey);
    return QStringLiteral("key:%1").arg(keyCode);
}

const std::vector<ShortcutKeyOption>& ShortcutKeyOption::all() {
    static const std::vector<ShortcutKeyOption> options = buildAll();
    return options;
}

std::span<const ShortcutKeyOption> ShortcutKeyOption::specialAndFunctionKeys() {
    return std::span(all()).first(kNamedKeyCount);
}

std::vector<ShortcutKeyOption> ShortcutKeyOption::onLayout(const KeyboardLayout::Legends& legends) {
    std::vector<ShortcutKeyOption> options = all();
    for (std::size_t i = kNamedKeyCount; i < kNamedKeyCount + kTypingKeyCount; ++i) {
        const auto found = legends.constFind(options[i].keyCode);
        if (found == legends.constEnd()) continue;
        const QString& typed = found->plain.isEmpty() ? found->shifted : found->plain;
        if (!typed.isEmpty()) options[i].title = titleOfCharacters(typed);
    }
    return options;
}

QString ShortcutKeyOption::titleOfCharacters(const QString& characters) {
    QString title;
    title.reserve(characters.size());
    for (const char32_t c : characters.toUcs4()) {
        const char32_t upper = QChar::toUpper(c);
        title += QString::fromUcs4(&upper, 1);
    }
    return title;
}

std::optional<std::pair<InputEvent, InputEvent>> ShortcutKeyOption::postKeyEvents(EventPoster& poster,
                                                                                  std::uint16_t keyCode,
                                                                                  std::uint64_t downFlags,
                                                                                  std::uint64_t upFlags) {
    if (!poster.privateEventSource()) return std::nullopt;
    auto down = poster.makeKeyboardEvent(keyCode, true);
    if (!down) return std::nullopt;
    auto up = poster.makeKeyboardEvent(keyCode, false);
    if (!up) return std::nullopt;
    down->flags = downFlags;
    up->flags = upFlags;
    // Lets our own monitors tell these strokes from the user's typing.
    markOwnEvent(*down, kShortcutEventMarker);
    markOwnEvent(*up, kShortcutEventMarker);
    return std::pair{*std::move(down), *std::move(up)};
}

}  // namespace glidra
