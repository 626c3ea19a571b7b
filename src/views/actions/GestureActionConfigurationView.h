#pragma once

#include "views/actions/ActionConfiguration.h"
#include "views/kit/RoundedBox.h"

#include <QCoro/QCoroTask>
#include <QPointer>

#include <optional>

class QPushButton;
class QVBoxLayout;

namespace glidra {

class ActionParameterEditor;
class ActionPermissionHelpView;
class ApplicationTargetPicker;
class CancellationSource;
class GestureActionIcon;
class ShortcutRecorder;
struct ViewContext;

namespace kit {
class StyledLabel;
class SymbolLabel;
}  // namespace kit

// The card of the chosen action: its tile and title, its explanation, the
// input-access help, the keep-awake state, the parameter editor, the
// application picker or the shortcut recorder, and for a few actions a
// button that runs the action once. It edits the configuration it is given
// and hands every edit back whole.
class GestureActionConfigurationView : public kit::RoundedBox {
    Q_OBJECT
public:
    explicit GestureActionConfigurationView(const ViewContext& context, QWidget* parent = nullptr);
    ~GestureActionConfigurationView() override;

    // From the owner: no signal. Another action cancels a running preview
    // and clears its message.
    void setConfiguration(const ActionConfiguration& configuration);
    const ActionConfiguration& configuration() const { return configuration_; }

    const std::optional<QString>& previewMessage() const { return previewMessage_; }

    // Runs the current action once after 0.2 s, replacing a preview that
    // has not finished.
    void previewCurrentAction();
    void cancelPreview();
    void stopPreview();

    // The rows shown for the current action, by their names.
    ActionParameterEditor* parameterEditor() const { return parameters_; }
    ApplicationTargetPicker* applicationPicker() const { return application_; }
    ShortcutRecorder* shortcutRecorder() const { return recorder_; }
    ActionPermissionHelpView* permissionHelp() const { return permission_; }

Q_SIGNALS:
    void configurationChanged(const glidra::ActionConfiguration& configuration);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    static QCoro::Task<> preview(QPointer<GestureActionConfigurationView> view, const ViewContext* context,
                                 GestureAction action, std::shared_ptr<CancellationSource> cancel);
    void rebuild();
    void edit(const ActionConfiguration& configuration);
    void refreshKeepAwake();
    void refreshPreviewMessage();

    const ViewContext& context_;
    ActionConfiguration configuration_;
    std::optional<QString> previewMessage_;
    std::shared_ptr<CancellationSource> previewCancel_;

    QVBoxLayout* column_;
    QWidget* body_ = nullptr;
    ActionPermissionHelpView* permission_ = nullptr;
    kit::SymbolLabel* keepAwake_ = nullptr;
    ActionParameterEditor* parameters_ = nullptr;
    ApplicationTargetPicker* application_ = nullptr;
    ShortcutRecorder* recorder_ = nullptr;
    kit::StyledLabel* previewLine_ = nullptr;
};

}  // namespace glidra
