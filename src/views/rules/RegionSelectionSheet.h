#pragma once

#include "views/rules/RegionSelectionModel.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace glidra {

namespace kit {
class StyledLabel;
}

struct ViewContext;
class TrackpadController;
class RegionQuickPicker;
class RegionSelectionCanvas;

// The sheet in which a rule's trigger region is chosen. While it is open the
// controller is in its setup state, so touches made while choosing fire no
// gesture. Open it with open(); it deletes itself when closed.
class RegionSelectionSheet : public QDialog {
    Q_OBJECT
public:
    // Receives the confirmed region; the rectangles only for custom.
    using SaveHandler = std::function<void(GestureRegion, std::vector<NormalizedRegionRect>)>;

    RegionSelectionSheet(ViewContext& context, RegionSelection start, SaveHandler onSave, QWidget* parent = nullptr);
    ~RegionSelectionSheet() override;

    const RegionSelectionModel& model() const { return *model_; }
    bool isSelectionValid() const { return model_->state().isUsable(); }

    void confirm();
    void cancel();

    // Closes every region sheet open under `owner`, restoring the flags they
    // changed. An owner that raised isSettingUpGesture itself calls this
    // before lowering it: a sheet closed later would put back the raised
    // value it found.
    static void closeSheetsIn(QObject* owner);

    // The region's name and, for a first rectangle, its size in percent.
    static QString summaryTitle(const RegionSelection& selection);
    static QString sizeText(const NormalizedRegionRect& rect);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void enterSetupMode();
    void restoreSetupMode();
    void sync();

    TrackpadController& controller_;
    SaveHandler onSave_;
    RegionSelectionModel* model_;
    kit::StyledLabel* summaryName_;
    kit::StyledLabel* summarySize_;
    kit::StyledLabel* status_;
    QPushButton* cancel_;
    QPushButton* confirm_;
    bool previousSetupState_ = false;
    bool inSetupMode_ = false;
};

}  // namespace glidra
