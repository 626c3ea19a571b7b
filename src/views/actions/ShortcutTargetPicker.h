#pragma once

#include "actions/ShortcutTarget.h"

#include <QCoro/QCoroTask>
#include <QWidget>

#include <optional>
#include <vector>

class QComboBox;
class QProgressBar;
class QPushButton;

namespace glidra {

class ShortcutActionService;
class Workspace;

namespace kit {
class CaptionLine;
}

// The pop-up of the user's shortcuts for runShortcut. The list
// is read afresh each time the picker is shown and on "刷新列表"; a stored
// shortcut missing from it stays shown and selected, marked as not found.
class ShortcutTargetPicker : public QWidget {
    Q_OBJECT
public:
    ShortcutTargetPicker(ShortcutActionService& service, Workspace& workspace, QWidget* parent = nullptr);

    // From the owner: no signal.
    void setSelection(const std::optional<ShortcutTarget>& selection);
    const std::optional<ShortcutTarget>& selection() const { return selection_; }

    const std::vector<ShortcutTarget>& targets() const { return targets_; }
    bool isLoading() const { return isLoading_; }
    const std::optional<QString>& message() const { return message_; }

    // Reads the list unless a read runs already. Resumes only while the
    // picker lives.
    QCoro::Task<> loadShortcuts();

Q_SIGNALS:
    void selectionChanged(const std::optional<glidra::ShortcutTarget>& selection);

protected:
    void showEvent(QShowEvent* event) override;

private:
    static QCoro::Task<> load(QPointer<ShortcutTargetPicker> picker, ShortcutActionService* service);
    void choose(int row);
    void refresh();

    ShortcutActionService& service_;
    Workspace& workspace_;
    std::optional<ShortcutTarget> selection_;
    std::vector<ShortcutTarget> targets_;
    bool isLoading_ = false;
    std::optional<QString> message_;

    QWidget* loading_;
    QComboBox* list_;
    QPushButton* reload_;
    kit::CaptionLine* messageLine_;
};

}  // namespace glidra
