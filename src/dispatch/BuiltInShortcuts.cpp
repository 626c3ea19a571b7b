#include "dispatch/BuiltInShortcuts.h"

#include "actions/KeyboardShortcut.h"

#include <array>

namespace glidra {

namespace {

using A = GestureAction;
using namespace modifier_flag;

// Virtual key codes. PC keys the encoding lacks stand for the key in their
// place: Print is F13.
namespace key {
constexpr std::uint16_t a = 0, s = 1, h = 4, z = 6, x = 7, c = 8, v = 9, f = 3, w = 13, r = 15, t = 17;
constexpr std::uint16_t equal = 24, minus = 27, zero = 29, l = 37, comma = 43, n = 45;
constexpr std::uint16_t tab = 48, space = 49, grave = 50, super = 55;
constexpr std::uint16_t f11 = 103, print = 105, home = 115, end = 119;
constexpr std::uint16_t left = 123, right = 124;
}  // namespace key

constexpr std::uint64_t ctrlShift = control | shift;
constexpr std::uint64_t ctrlAlt = control | option;
constexpr std::uint64_t altShift = option | shift;

// GNOME's and KDE Plasma's default where the two agree, GNOME's where they
// differ; browser and editor keys as Chromium, Firefox and GTK and Qt
// applications take them.
constexpr std::array kShortcuts{
    BuiltInShortcut{A::focusAddressBar, key::l, control},          // Ctrl+L
    BuiltInShortcut{A::copyFilePath, key::c, control},             // Ctrl+C: the file manager copies paths as text
    BuiltInShortcut{A::seekBackward, key::left, 0},                // Left
    BuiltInShortcut{A::seekForward, key::right, 0},                // Right
    BuiltInShortcut{A::spotlight, key::super, 0},                  // Super: the overview's or launcher's search
    BuiltInShortcut{A::screenshot, key::print, shift},             // Shift+Print: the whole screen
    BuiltInShortcut{A::previousTab, key::tab, ctrlShift},          // Ctrl+Shift+Tab
    BuiltInShortcut{A::nextTab, key::tab, control},                // Ctrl+Tab
    BuiltInShortcut{A::back, key::left, option},                   // Alt+Left
    BuiltInShortcut{A::forward, key::right, option},               // Alt+Right
    BuiltInShortcut{A::copy, key::c, control},                     // Ctrl+C
    BuiltInShortcut{A::paste, key::v, control},                    // Ctrl+V
    BuiltInShortcut{A::undo, key::z, control},                     // Ctrl+Z
    BuiltInShortcut{A::newTab, key::t, control},                   // Ctrl+T
    BuiltInShortcut{A::closeTab, key::w, control},                 // Ctrl+W
    BuiltInShortcut{A::reopenTab, key::t, ctrlShift},              // Ctrl+Shift+T
    BuiltInShortcut{A::refreshPage, key::r, control},              // Ctrl+R
    BuiltInShortcut{A::find, key::f, control},                     // Ctrl+F
    BuiltInShortcut{A::zoomIn, key::equal, control},               // Ctrl+=
    BuiltInShortcut{A::zoomOut, key::minus, control},              // Ctrl+-
    BuiltInShortcut{A::resetZoom, key::zero, control},             // Ctrl+0
    BuiltInShortcut{A::cut, key::x, control},                      // Ctrl+X
    BuiltInShortcut{A::redo, key::z, ctrlShift},                   // Ctrl+Shift+Z
    BuiltInShortcut{A::selectAll, key::a, control},                // Ctrl+A
    BuiltInShortcut{A::save, key::s, control},                     // Ctrl+S
    BuiltInShortcut{A::newWindow, key::n, control},                // Ctrl+N
    BuiltInShortcut{A::minimizeWindow, key::h, command},           // Super+H
    BuiltInShortcut{A::toggleFullScreen, key::f11, 0},             // F11
    BuiltInShortcut{A::previousDesktop, key::left, ctrlAlt},       // Ctrl+Alt+Left
    BuiltInShortcut{A::nextDesktop, key::right, ctrlAlt},          // Ctrl+Alt+Right
    BuiltInShortcut{A::screenshotArea, key::print, 0},             // Print: the screenshot tool, area first
    BuiltInShortcut{A::lockScreen, key::l, command},               // Super+L
    BuiltInShortcut{A::screenshotTools, key::print, 0},            // Print
    BuiltInShortcut{A::screenshotClipboard, key::print, shift},    // Shift+Print, also copied to the clipboard
    BuiltInShortcut{A::screenshotAreaClipboard, key::print, 0},    // Print, also copied to the clipboard
    BuiltInShortcut{A::applicationSettings, key::comma, control},  // Ctrl+,
    BuiltInShortcut{A::nextWindow, key::grave, option},            // Alt+`
    BuiltInShortcut{A::previousWindow, key::grave, altShift},      // Alt+Shift+`
    BuiltInShortcut{A::scrollToTop, key::home, control},           // Ctrl+Home
    BuiltInShortcut{A::scrollToBottom, key::end, control},         // Ctrl+End
    BuiltInShortcut{A::applicationExpose, key::super, 0},          // Super: the overview of all windows
    BuiltInShortcut{A::quickLook, key::space, 0},                  // Space: the file manager's previewer
    BuiltInShortcut{A::pasteMatchingStyle, key::v, ctrlShift},     // Ctrl+Shift+V: paste as plain text
};

static_assert(kShortcuts.size() == 43);

}  // namespace

std::span<const BuiltInShortcut> builtInShortcuts() { return kShortcuts; }

std::optional<BuiltInShortcut> builtInShortcut(GestureAction action) {
    for (const BuiltInShortcut& row : kShortcuts) {
        if (row.action == action) return row;
    }
    return std::nullopt;
}

}  // namespace glidra
