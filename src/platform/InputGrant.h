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

// The system's input service, which gives the touchpads and the virtual
// device to this program alone so that no grant is needed for them.
enum class InputService {
    notInstalled,
    // Installed (its socket is there) but it refused this program or did not
    // answer.
    notAnswering,
    answering,
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

// The commands for a terminal that install the grant's rule from
// `rulesFolder` and give the session at the seat the access at once, each
// running the same script as root: through `su -c` always, since every
// Debian has su (many have no sudo), and through pkexec where it is there.
QStringList inputGrantInstallCommands(InputGrant grant, const QString& rulesFolder, bool pkexecInstalled);

// Whether pkexec is on the PATH.
bool pkexecInstalled();

// Those commands under a line saying that they run as root, for a label the
// user copies them from.
QString inputGrantInstallInstructions(InputGrant grant, const QString& rulesFolder,
                                      bool withPkexec = pkexecInstalled());

}  // namespace glidra
