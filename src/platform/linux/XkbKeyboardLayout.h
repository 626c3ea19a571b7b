#pragma once

#include "platform/KeyboardLayout.h"

#include <QByteArray>

struct xcb_connection_t;
struct xkb_context;
struct xkb_keymap;

namespace glidra::linux_platform {

// The layout of the X server's core keyboard, read through XKB each time it
// is asked, so that a layout switched meanwhile counts; XWayland's follows
// the Wayland desktop's. Without an X server it cannot be read. Main thread
// only.
class XkbKeyboardLayout final : public KeyboardLayout {
public:
    // The display of $DISPLAY unless `display` is given. Scan codes are read
    // as XKB key codes (the kernel's key code plus 8) when `scanCodesAreXkb`,
    // as Qt's xcb and Wayland platforms report them.
    explicit XkbKeyboardLayout(const QByteArray& display = {}, bool scanCodesAreXkb = platformReportsXkbKeyCodes());
    ~XkbKeyboardLayout() override;
    XkbKeyboardLayout(const XkbKeyboardLayout&) = delete;
    XkbKeyboardLayout& operator=(const XkbKeyboardLayout&) = delete;

    std::optional<std::uint16_t> keyCodeOfScanCode(std::uint32_t nativeScanCode) const override;
    Legends legends() const override;

    // The keys of one layout (XKB's group) of a compiled keymap, by the
    // program's key codes.
    static Legends legendsOf(xkb_keymap* keymap, std::uint32_t layout);
    // Whether the Qt platform in use reports XKB key codes as scan codes.
    static bool platformReportsXkbKeyCodes();

private:
    bool connect() const;

    QByteArray display_;
    bool scanCodesAreXkb_;
    xkb_context* context_;
    // Opened on first use, and again after the server closed it.
    mutable xcb_connection_t* connection_ = nullptr;
    mutable std::int32_t device_ = -1;
    mutable bool unreachableSaid_ = false;
};

}  // namespace glidra::linux_platform
