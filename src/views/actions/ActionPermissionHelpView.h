#pragma once

#include "actions/GestureAction.h"

#include <QWidget>

namespace glidra {

class AccessibilityTrust;
class ScenePhase;

// Says, under an action that needs input access, that the program lacks it
// and how to grant it; nothing for other actions or once access is there.
// Access is read again when the program becomes active, when the action
// changes, each time the notice is shown, and on "重新检查".
class ActionPermissionHelpView : public QWidget {
    Q_OBJECT
public:
    ActionPermissionHelpView(const AccessibilityTrust& trust, ScenePhase& scenePhase, GestureAction action,
                             QWidget* parent = nullptr);

    void setAction(GestureAction action);
    GestureAction action() const { return action_; }
    bool isGranted() const { return isGranted_; }
    // Whether the notice shows.
    bool isNoticeShown() const;

    void recheck();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    const AccessibilityTrust& trust_;
    GestureAction action_;
    bool isGranted_;
    QWidget* notice_;
};

}  // namespace glidra
