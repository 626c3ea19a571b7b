#include "platform/LogCategories.h"

namespace glidra {

Q_LOGGING_CATEGORY(lcInput, "glidra.input", QtInfoMsg)
Q_LOGGING_CATEGORY(lcRecognition, "glidra.recognition", QtInfoMsg)
Q_LOGGING_CATEGORY(lcActions, "glidra.actions", QtInfoMsg)
Q_LOGGING_CATEGORY(lcRecovery, "glidra.recovery", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSettings, "glidra.settings", QtInfoMsg)
Q_LOGGING_CATEGORY(lcServices, "glidra.services", QtInfoMsg)

void useLogFormat() {
    qSetMessagePattern(
        QStringLiteral("%{if-category}%{category}: %{endif}%{if-warning}warning: %{endif}"
                       "%{if-critical}error: %{endif}%{if-fatal}fatal: %{endif}%{message}"));
}

}  // namespace glidra
