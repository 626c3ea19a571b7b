#pragma once

#include <QString>
#include <QStringList>

namespace glidra {

// The input access the program needs on Linux, granted by purpose: each by a
// udev rule of its own that the user installs or leaves out.
enum class InputGrant {
    // Reading the touchpads: recognition, and every action that synthesises
    // no input.
    touchpad,
    // Reading the keyboards: required modifiers, typing protection, held
    // keys and the keyboard lock.
    keyboards,
    // Writing /dev/uinput: shortcuts, clicks and scrolls.
    virtualInput,
};

inline constexpr InputGrant kInputGrants[] = {InputGrant::touchpad, InputGrant::keyboards, InputGrant::virtualInput};

// The file name of the grant's udev rule, the same where it is shipped and
// where it is installed.
QString inputGrantRuleFile(InputGrant grant);

// Where the user installs a rule.
inline QString userUdevRulesFolder() { return QStringLiteral("/etc/udev/rules.d"); }
// The folders udev reads rules from.
QStringList udevRulesFolders();

// The folder of the shipped rules: share/glidra/udev beside the installed
// program, else in the XDG data folders; the one beside the program when
// neither holds them.
QString shippedInputRulesFolder();

// One command for a terminal that installs the grant's rule from
// `rulesFolder` and gives the session at the seat the access at once.
QString inputGrantInstallCommand(InputGrant grant, const QString& rulesFolder);

}  // namespace glidra
