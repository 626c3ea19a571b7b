#include "platform/linux/XkbKeyboardLayout.h"

#include "platform/LogCategories.h"
#include "platform/linux/KeyCodeTranslation.h"

#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <utility>

namespace glidra::linux_platform {

namespace {

// The kernel's key codes start at 8 in XKB's numbering.
constexpr std::uint32_t kXkbKeyCodeOffset = 8;

// A dead key types nothing alone; its title is the accent it adds.
constexpr std::array<std::pair<xkb_keysym_t, char16_t>, 13> kDeadKeys{{
    {XKB_KEY_dead_grave, u'`'},
    {XKB_KEY_dead_acute, u'\u00B4'},
    {XKB_KEY_dead_circumflex, u'^'},
    {XKB_KEY_dead_tilde, u'~'},
    {XKB_KEY_dead_macron, u'\u00AF'},
    {XKB_KEY_dead_breve, u'\u02D8'},
    {XKB_KEY_dead_abovedot, u'\u02D9'},
    {XKB_KEY_dead_diaeresis, u'\u00A8'},
    {XKB_KEY_dead_abovering, u'\u02DA'},
    {XKB_KEY_dead_doubleacute, u'\u02DD'},
    {XKB_KEY_dead_caron, u'\u02C7'},
    {XKB_KEY_dead_cedilla, u'\u00B8'},
    {XKB_KEY_dead_ogonek, u'\u02DB'},
}};

// What the keysym types, if it is something to show: not a control
// character (Tab, Return, Escape) and not a blank.
QString textOf(xkb_keysym_t keysym) {
    for (const auto& [dead, accent] : kDeadKeys) {
        if (dead == keysym) return QString(QChar(accent));
    }
    char buffer[16];
    const int size = xkb_keysym_to_utf8(keysym, buffer, sizeof buffer);
    // The size counts the terminating zero; 0 is no text, -1 a buffer too small.
    if (size <= 1) return {};
    const QString text = QString::fromUtf8(buffer, size - 1);
    for (const QChar c : text) {
        if (!c.isPrint() || c.isSpace()) return {};
    }
    return text;
}

QString levelText(xkb_keymap* keymap, xkb_keycode_t key, xkb_layout_index_t layout, xkb_level_index_t level) {
    const xkb_keysym_t* keysyms = nullptr;
    // Keys that type several keysyms at once title nothing.
    if (xkb_keymap_key_get_syms_by_level(keymap, key, layout, level, &keysyms) != 1) return {};
    return textOf(keysyms[0]);
}

}  // namespace

XkbKeyboardLayout::XkbKeyboardLayout(const QByteArray& display, bool scanCodesAreXkb)
    : display_(display.isEmpty() ? qgetenv("DISPLAY") : display),
      scanCodesAreXkb_(scanCodesAreXkb),
      context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {}

XkbKeyboardLayout::~XkbKeyboardLayout() {
    if (connection_) xcb_disconnect(connection_);
    xkb_context_unref(context_);
}

bool XkbKeyboardLayout::platformReportsXkbKeyCodes() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

std::optional<std::uint16_t> XkbKeyboardLayout::keyCodeOfScanCode(std::uint32_t nativeScanCode) const {
    if (!scanCodesAreXkb_ || nativeScanCode < kXkbKeyCodeOffset || nativeScanCode > 0xFFFF) return std::nullopt;
    return key_codes::virtualKeyCode(std::uint16_t(nativeScanCode - kXkbKeyCodeOffset));
}

bool XkbKeyboardLayout::connect() const {
    if (connection_ && xcb_connection_has_error(connection_)) {
        xcb_disconnect(std::exchange(connection_, nullptr));
        device_ = -1;
    }
    if (connection_) return device_ >= 0;
    if (display_.isEmpty() || !context_) return false;
    connection_ = xcb_connect(display_.constData(), nullptr);
    if (xcb_connection_has_error(connection_)) {
        xcb_disconnect(std::exchange(connection_, nullptr));
        // Said once: the next look is tried again, quietly.
        if (!std::exchange(unreachableSaid_, true)) {
            qCWarning(lcServices).noquote()
                << "cannot reach the X display" << display_ << "to read the keyboard layout; keys keep their US titles";
        }
        return false;
    }
    if (!xkb_x11_setup_xkb_extension(connection_, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                     XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr)) {
        qCWarning(lcServices).noquote() << "the X display" << display_
                                        << "has no XKB extension; keys keep their US titles";
        return false;
    }
    device_ = xkb_x11_get_core_keyboard_device_id(connection_);
    return device_ >= 0;
}

KeyboardLayout::Legends XkbKeyboardLayout::legends() const {
    if (!connect()) return {};
    xkb_keymap* keymap = xkb_x11_keymap_new_from_device(context_, connection_, device_, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) {
        qCWarning(lcServices).noquote() << "cannot read the keyboard layout of the X display" << display_;
        return {};
    }
    // The layout in use among the ones the user switches between.
    xkb_state* state = xkb_x11_state_new_from_device(keymap, connection_, device_);
    const xkb_layout_index_t layout = state ? xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE) : 0;
    Legends legends = legendsOf(keymap, layout);
    xkb_state_unref(state);
    xkb_keymap_unref(keymap);
    return legends;
}

KeyboardLayout::Legends XkbKeyboardLayout::legendsOf(xkb_keymap* keymap, std::uint32_t layout) {
    Legends legends;
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap);
    for (xkb_keycode_t key = std::max(xkb_keymap_min_keycode(keymap), kXkbKeyCodeOffset); key <= last; ++key) {
        const auto code = key_codes::virtualKeyCode(std::uint16_t(key - kXkbKeyCodeOffset));
        const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap, key);
        if (!code || layouts == 0 || legends.contains(*code)) continue;
        // A key with fewer layouts than the keymap wraps round, as XKB does.
        const xkb_layout_index_t own = layout % layouts;
        Legend legend{levelText(keymap, key, own, 0), levelText(keymap, key, own, 1)};
        if (!legend.plain.isEmpty() || !legend.shifted.isEmpty()) legends.insert(*code, std::move(legend));
    }
    return legends;
}

}  // namespace glidra::linux_platform
