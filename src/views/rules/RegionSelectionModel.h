#pragma once

#include "gestures/GestureRegion.h"
#include "gestures/NormalizedRegionRect.h"

#include <QObject>

#include <vector>

namespace glidra {

// What the region sheet edits: a preset region or custom rectangles, and the
// size the quick presets are drawn at.
struct RegionSelection {
    // custom when `rectangles` holds the region.
    GestureRegion selection = GestureRegion::anywhere;
    std::vector<NormalizedRegionRect> rectangles;
    // Quick-preset size in percent of the pad's side.
    int percent = 25;

    friend bool operator==(const RegionSelection&, const RegionSelection&) = default;

    // Exactly one rectangle, and a valid one.
    bool isUsable() const;
};

// The sheet's state, shared by the quick picker and the canvas, which both
// write it. Notifies only real changes.
class RegionSelectionModel : public QObject {
    Q_OBJECT
public:
    explicit RegionSelectionModel(RegionSelection start, QObject* parent = nullptr);

    const RegionSelection& state() const { return state_; }
    GestureRegion selection() const { return state_.selection; }
    const std::vector<NormalizedRegionRect>& rectangles() const { return state_.rectangles; }
    int percent() const { return state_.percent; }

    // Sets both halves of a choice together, so nothing sees one without the
    // other.
    void choose(GestureRegion selection, std::vector<NormalizedRegionRect> rectangles);
    void setPercent(int percent);

Q_SIGNALS:
    void regionChanged();
    void percentChanged(int previous, int current);

private:
    RegionSelection state_;
};

}  // namespace glidra
