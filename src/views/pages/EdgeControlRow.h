#pragma once

#include "actions/ApplicationTarget.h"
#include "gestures/EdgeControlMode.h"
#include "gestures/EdgeLocation.h"
#include "gestures/SlideDistance.h"

#include <QPointer>
#include <QWidget>

#include <optional>
#include <vector>

class QComboBox;
class QVBoxLayout;

namespace glidra {

class ApplicationTargetPicker;
class ControlSettings;
class SlideDistancePicker;
struct ViewContext;

namespace kit {
class SegmentedControl;
}

// One trackpad edge on the edge controls page: merged, one preset mode for
// both slide directions, or split, one binding row per direction. The row
// follows the stored bindings and edge configurations in place and rebuilds
// only the part whose shape changed.
class EdgeControlRow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int segmentWidth = 180;
    static constexpr int menuWidth = 220;

    EdgeControlRow(ViewContext& context, EdgeLocation edge, QWidget* parent = nullptr);

    EdgeLocation edge() const { return edge_; }

    // Spread over the edge's two bindings: read from the first of them in
    // list order, written to both.
    std::optional<ApplicationTarget> mergedApplicationTarget() const;
    void setMergedApplicationTarget(const std::optional<ApplicationTarget>& target);
    SlideDistance mergedSlideDistance() const;
    void setMergedSlideDistance(SlideDistance distance);

    kit::SegmentedControl* splitControl() const { return split_; }
    // The split rows or the merged controls, whichever is shown.
    QWidget* content() const { return content_; }

    // The modes the menu offers: all but custom.
    static std::vector<EdgeControlMode> offeredModes();

private:
    // What decides which widgets the content holds.
    struct Shape {
        bool isSplit = false;
        std::vector<GestureTrigger> rows;  // split: triggers in list order
        bool showsApplication = false;
        bool showsDistance = false;
        friend bool operator==(const Shape&, const Shape&) = default;
    };
    Shape currentShape() const;
    void sync();
    void rebuild(const Shape& shape);
    QWidget* buildMerged(const Shape& shape);
    bool belongs(GestureTrigger trigger) const;

    ViewContext& context_;
    ControlSettings& settings_;
    EdgeLocation edge_;
    kit::SegmentedControl* split_;
    QVBoxLayout* column_;
    QPointer<QWidget> content_;
    std::optional<Shape> shape_;
    QPointer<QComboBox> mode_;
    QPointer<SlideDistancePicker> slideDistance_;
    QPointer<ApplicationTargetPicker> application_;
};

}  // namespace glidra
