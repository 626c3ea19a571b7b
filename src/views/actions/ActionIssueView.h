#pragma once

#include "views/kit/StatusBanner.h"

class QToolButton;
class QPushButton;

namespace glidra {

class AccessibilityTrust;

// The banner for the last action that failed: its text beside a warning
// symbol, and a close button. Where the desktop has a pane for the missing
// permission it offers a button to it while the program lacks the trust
// (asked each time the banner is built).
class ActionIssueView final : public kit::StatusBanner {
    Q_OBJECT
public:
    ActionIssueView(const QString& issue, const AccessibilityTrust& trust, QWidget* parent = nullptr);

    QString issue() const { return text(); }

Q_SIGNALS:
    // The close button was pressed; the host clears the issue.
    void dismissed();
};

}  // namespace glidra
