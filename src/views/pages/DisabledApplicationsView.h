#pragma once

#include "views/kit/GroupBox.h"

#include <QPointer>
#include <QString>

class QPushButton;
class QVBoxLayout;

namespace glidra {

struct ViewContext;

namespace kit {
class StyledLabel;
}

// The applications in which every gesture pauses: added on the application
// chooser, removed by identifier. The list lives in the settings; this
// section only edits it and shows it as it is, also after a change made
// elsewhere.
class DisabledApplicationsView final : public kit::GroupBox {
    Q_OBJECT
public:
    explicit DisabledApplicationsView(ViewContext& context, QWidget* parent = nullptr);

    // The name stored for an entry: the entry's name without a trailing
    // ".app" or ".desktop", so names that carry a dot ("Node.js") stay whole.
    static QString displayName(const QString& name);

    // Opens the application chooser; the chosen application is appended
    // unless it is listed already.
    void addApplication();
    // Removes every entry with exactly this identifier.
    void removeApplication(const QString& bundleIdentifier);

    QString errorMessage() const { return errorMessage_; }

private:
    void addEntry(const QString& path);
    void syncRows();
    void setErrorMessage(const QString& message);

    ViewContext& context_;
    QString errorMessage_;
    kit::StyledLabel* empty_;
    QVBoxLayout* rows_;
    kit::StyledLabel* error_;
};

}  // namespace glidra
