#pragma once

#include "actions/ApplicationTarget.h"

#include <QCoro/QCoroTask>
#include <QPointer>
#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;

namespace glidra {

struct ViewContext;

namespace kit {
class StyledLabel;
class SymbolLabel;
}  // namespace kit

// The row that names the application of openApplication, chooses another
// on the application chooser and tries opening the chosen one once through the
// dispatcher. A failed choice or a failed test open shows its text in red
// under the row.
class ApplicationTargetPicker : public QWidget {
    Q_OBJECT
public:
    explicit ApplicationTargetPicker(const ViewContext& context, QWidget* parent = nullptr);

    // From the owner: no signal, and the message stays.
    void setSelection(const std::optional<ApplicationTarget>& selection);
    const std::optional<ApplicationTarget>& selection() const { return selection_; }

    QString errorMessage() const { return errorMessage_; }
    bool isOpening() const { return isOpening_; }

    // Opens the application chooser; the choice arrives after it closes.
    void chooseApplication();
    // Opens the target selected now; the running open keeps that target even
    // when the selection changes meanwhile.
    QCoro::Task<> testOpen();

Q_SIGNALS:
    void selectionChanged(const std::optional<glidra::ApplicationTarget>& selection);

private:
    static QCoro::Task<> open(QPointer<ApplicationTargetPicker> picker, const ViewContext* context,
                              ApplicationTarget target);
    void takeApplication(const QString& path);
    void setErrorMessage(const QString& message);
    void refresh();

    const ViewContext& context_;
    std::optional<ApplicationTarget> selection_;
    QString errorMessage_;
    bool isOpening_ = false;

    kit::SymbolLabel* placeholder_;
    QLabel* icon_;
    kit::StyledLabel* name_;
    QPushButton* testOpen_;
    QPushButton* choose_;
    kit::StyledLabel* error_;
};

}  // namespace glidra
