#pragma once

#include "gestures/GestureRuleConflict.h"

#include <QWidget>

namespace glidra {

// A small picture of the trackpad in a conflict card: where rule A fires
// (blue, solid), where rule B fires (purple, dashed) and where both do
// (orange), with a legend.
class GestureConflictRegionMap : public QWidget {
    Q_OBJECT
public:
    static constexpr int mapHeight = 120;

    explicit GestureConflictRegionMap(const GestureRuleConflict& conflict, QWidget* parent = nullptr);

    // The rectangles of each layer: the list when there is one, else the
    // single rectangle.
    static std::vector<NormalizedRegionRect> firstLayer(const GestureRuleConflict& conflict);
    static std::vector<NormalizedRegionRect> secondLayer(const GestureRuleConflict& conflict);
    static std::vector<NormalizedRegionRect> overlapLayer(const GestureRuleConflict& conflict);

    // Where a normalised rectangle is drawn on a map of `size`: at least one
    // point on each side, y flipped.
    static QRectF placement(const NormalizedRegionRect& rect, QSizeF size);
};

}  // namespace glidra
