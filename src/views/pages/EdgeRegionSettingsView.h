#pragma once

#include <QWidget>

class QSlider;

namespace glidra {

class ControlSettings;
class TrackpadController;

namespace kit {
class StyledLabel;
class SwitchRow;
}  // namespace kit

// The trigger-region group of the edge controls page: how wide the band
// along each edge is, and whether the pointer holds still while an edge
// slide adjusts brightness or volume.
class EdgeRegionSettingsView final : public QWidget {
    Q_OBJECT
public:
    // The slider works on hundredths, so stored widths are the grid's
    // decimals.
    static constexpr int widthMinimum = 2;
    static constexpr int widthMaximum = 30;

    EdgeRegionSettingsView(ControlSettings& settings, TrackpadController& controller, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void syncWidth();
    void syncPointerLock();

    ControlSettings& settings_;
    TrackpadController& controller_;
    QSlider* edgeWidth_;
    kit::StyledLabel* edgeWidthValue_;
    kit::SwitchRow* locksPointer_;
};

}  // namespace glidra
