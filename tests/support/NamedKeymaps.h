#pragma once

// Keyboard layouts by name, compiled by xkbcommon from the system's XKB data
// without an X server, as the X server compiles the one the user chose.

#include "platform/KeyboardLayout.h"
#include "platform/linux/KeyCodeTranslation.h"
#include "platform/linux/XkbKeyboardLayout.h"

#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace glidra::test {

// The keys of the named layout ("us", "fr", "de") on a 105-key PC keyboard;
// empty when the XKB data lacks it.
inline KeyboardLayout::Legends legendsOfLayout(const char* layout) {
    const std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS),
                                                                             &xkb_context_unref);
    const xkb_rule_names names{"evdev", "pc105", layout, "", ""};
    const std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS), &xkb_keymap_unref);
    if (!keymap) return {};
    return linux_platform::XkbKeyboardLayout::legendsOf(keymap.get(), 0);
}

// The XKB key code that Qt's xcb platform reports as the scan code of a
// kernel key.
constexpr std::uint32_t scanCodeOf(std::uint16_t evdevCode) { return evdevCode + 8u; }

}  // namespace glidra::test
