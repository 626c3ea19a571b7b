#include "views/rules/RegionSelectionModel.h"

#include <utility>

namespace glidra {

bool RegionSelection::isUsable() const { return rectangles.size() == 1 && rectangles.front().isValid(); }

RegionSelectionModel::RegionSelectionModel(RegionSelection start, QObject* parent)
    : QObject(parent), state_(std::move(start)) {}

void RegionSelectionModel::choose(GestureRegion selection, std::vector<NormalizedRegionRect> rectangles) {
    if (selection == state_.selection && rectangles == state_.rectangles) return;
    state_.selection = selection;
    state_.rectangles = std::move(rectangles);
    Q_EMIT regionChanged();
}

void RegionSelectionModel::setPercent(int percent) {
    const int previous = state_.percent;
    if (percent == previous) return;
    state_.percent = percent;
    Q_EMIT percentChanged(previous, percent);
}

}  // namespace glidra
