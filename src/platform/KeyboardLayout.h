#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>

namespace glidra {

// The user's keyboard layout, as far as the program's own windows record and
// name keys. Shortcuts are stored by key position (the program's key codes),
// so a recorded shortcut replays as the key the user pressed on any layout;
// what that key types is only its title.
class KeyboardLayout {
public:
    // What one key types on the layout in use: alone and with Shift. A dead
    // key gives its accent; a key that types nothing is not listed.
    struct Legend {
        QString plain;
        QString shifted;

        friend bool operator==(const Legend&, const Legend&) = default;
    };
    // By the program's key code.
    using Legends = QHash<std::uint16_t, Legend>;

    virtual ~KeyboardLayout() = default;

    // The program's key code of the physical key that a key event of the
    // program's windows came from, read from the event's native scan code;
    // nothing where the windowing system names no physical key, or the
    // program has no code for it.
    virtual std::optional<std::uint16_t> keyCodeOfScanCode(std::uint32_t nativeScanCode) const = 0;

    // The keys of the layout in use now; empty when it cannot be read, and
    // the keys then go by their titles on a US keyboard.
    virtual Legends legends() const = 0;
};

}  // namespace glidra
