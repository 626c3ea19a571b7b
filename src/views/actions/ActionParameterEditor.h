#pragma once

#include "actions/ActionParameters.h"
#include "actions/GestureAction.h"

#include <QWidget>

class QLineEdit;

namespace glidra {

class ResourceTargetPicker;
class ShortcutTargetPicker;
struct ViewContext;

namespace kit {
class StyledLabel;
}

// Fills in the one value that openFile, openFolder, openURL and runShortcut
// need: a file or folder picker, a web-address field or the shortcut
// picker. Empty for every other action. It edits the parameters it is given
// and never converts them when the action changes; the owner builds a new
// editor for a new action.
class ActionParameterEditor : public QWidget {
    Q_OBJECT
public:
    ActionParameterEditor(const ViewContext& context, GestureAction action, QWidget* parent = nullptr);

    GestureAction action() const { return action_; }
    // Whether it shows anything for its action.
    bool hasContent() const;

    // From the owner: no signal.
    void setParameters(const ActionParameters& parameters);
    const ActionParameters& parameters() const { return parameters_; }

    // The caption under the address field: the grey hint, or the red
    // validation message while a typed address is not valid.
    QString websiteCaption() const;
    bool websiteCaptionIsError() const;

Q_SIGNALS:
    // Every edit, with the whole parameters value.
    void parametersChanged(const glidra::ActionParameters& parameters);

private:
    void edit(ActionParameters parameters);
    void refreshWebsiteCaption();

    GestureAction action_;
    ActionParameters parameters_;
    ResourceTargetPicker* resource_ = nullptr;
    ShortcutTargetPicker* shortcut_ = nullptr;
    QLineEdit* website_ = nullptr;
    kit::StyledLabel* websiteCaption_ = nullptr;
};

}  // namespace glidra
