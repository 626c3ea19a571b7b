#pragma once

#include <QWidget>

class QPushButton;

namespace glidra {

class UpdateController;
struct BundleInfo;

namespace kit {
class CaptionLine;
class GroupBox;
class StyledLabel;
class SwitchRow;
}  // namespace kit

// The software-update section of the general page: the version with a check
// button, the automatic-check switch and the updater's status. Nothing shows
// until the updater has started.
class UpdateSettingsView final : public QWidget {
    Q_OBJECT
public:
    UpdateSettingsView(UpdateController& updater, const BundleInfo& bundle, QWidget* parent = nullptr);

    // "Glidra " and the version with the build in full-width parentheses; an
    // absent key reads as empty.
    static QString versionText(const BundleInfo& bundle);

private:
    void sync();

    UpdateController& updater_;
    kit::GroupBox* group_;
    kit::StyledLabel* version_;
    QPushButton* check_;
    kit::SwitchRow* automaticChecks_;
    kit::CaptionLine* status_;
};

}  // namespace glidra
