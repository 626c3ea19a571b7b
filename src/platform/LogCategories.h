#pragma once

#include <QLoggingCategory>

// The program's log, one category per area, written to standard error (the
// session sends an autostarted program's to the journal). Warnings and
// failures, and the few information lines, show by default; debug output is
// switched on per area with QT_LOGGING_RULES, for example
// QT_LOGGING_RULES="glidra.input.debug=true" or "glidra.*.debug=true".
//
// A message names the device, service or file and the reason. It never holds
// a key the user typed or a text from the clipboard.

namespace glidra {

// glidra.input: touchpads, keyboards and the virtual input device.
Q_DECLARE_LOGGING_CATEGORY(lcInput)
// glidra.recognition: recognised gestures and the rules they matched.
Q_DECLARE_LOGGING_CATEGORY(lcRecognition)
// glidra.actions: the actions run and the ones that failed.
Q_DECLARE_LOGGING_CATEGORY(lcActions)
// glidra.recovery: listening started and lost, sleep and wake, reconnects.
Q_DECLARE_LOGGING_CATEGORY(lcRecovery)
// glidra.settings: the settings file, launch at login.
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
// glidra.services: the desktop's services (D-Bus, the sound server, X).
Q_DECLARE_LOGGING_CATEGORY(lcServices)

// Lines start with their area ("glidra.input: ..."), and warnings say so,
// unless QT_MESSAGE_PATTERN asks for another form.
void useLogFormat();

}  // namespace glidra
