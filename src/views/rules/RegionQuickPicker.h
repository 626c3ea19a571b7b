#pragma once

#include "gestures/RegionQuickPreset.h"

#include <QWidget>

#include <array>

class QAbstractButton;
class QToolButton;

namespace glidra {

namespace kit {
class SegmentedControl;
}

class RegionSelectionModel;

// The upper half of the region sheet: a size, then one of nine direction
// presets at that size, or the whole pad in one click.
class RegionQuickPicker : public QWidget {
    Q_OBJECT
public:
    static constexpr std::array<int, 3> sizes{25, 50, 75};

    explicit RegionQuickPicker(RegionSelectionModel& model, QWidget* parent = nullptr);

    QAbstractButton* directionButton(RegionQuickPreset preset) const;

private:
    void choosePreset(RegionQuickPreset preset);
    void selectWholeTrackpad();
    // A size change resizes a chosen preset; a drawn rectangle or the whole
    // pad stays as it is.
    void rescalePreset(int previous, int current);
    void sync();

    RegionSelectionModel& model_;
    kit::SegmentedControl* percent_;
    QToolButton* wholeTrackpad_;
    std::array<QAbstractButton*, 9> directions_{};
};

}  // namespace glidra
