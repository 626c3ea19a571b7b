#pragma once

#include "platform/InputGrant.h"

#include <QWidget>

#include <map>

namespace glidra {

class AccessibilityTrust;

namespace kit {

class CaptionLine;
class ShellCommandView;
class SymbolLabel;

// The grants of input access, one row each: whether it is there, what it
// adds and, where a udev rule grants it (no input service), what the rule
// lets every program of the user do, and for a missing one the command that
// installs its rule. Shown by the input-access card and the
// general page; they ask it to read the grants again when they do.
class InputGrantList final : public QWidget {
    Q_OBJECT
public:
    explicit InputGrantList(const AccessibilityTrust& trust, QWidget* parent = nullptr);

    void refresh();

    static QString title(InputGrant grant);
    // What the grant adds.
    static QString features(InputGrant grant);
    // What its udev rule lets any program of the user do.
    static QString ruleReach(InputGrant grant);

private:
    struct Row {
        SymbolLabel* status = nullptr;
        CaptionLine* caption = nullptr;
        // The commands that grant it, with their lines.
        QWidget* commands = nullptr;
    };

    const AccessibilityTrust& trust_;
    QString rulesFolder_;
    std::map<InputGrant, Row> rows_;
};

}  // namespace kit
}  // namespace glidra
