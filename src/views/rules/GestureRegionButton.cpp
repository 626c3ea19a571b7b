#include "views/rules/GestureRegionButton.h"

#include "views/ViewContext.h"
#include "gestures/RegionQuickPreset.h"
#include "settings/ControlSettings.h"
#include "views/kit/Symbols.h"
#include "views/rules/RegionQuickPicker.h"
#include "views/rules/RegionSelectionSheet.h"

#include <algorithm>

namespace glidra {

GestureRegionButton::GestureRegionButton(ViewContext& context, bool compact, QWidget* parent)
    : QPushButton(parent), context_(context), compact_(compact) {
    setObjectName(QStringLiteral("regionButton"));
    setIcon(kit::symbolIcon(QStringLiteral("rectangle.dashed")));
    // Inside the rule editor sheet, Return belongs to the sheet's own button.
    setAutoDefault(false);
    setText(summaryTitle(fields_, compact_));
    connect(this, &QPushButton::clicked, this, &GestureRegionButton::openSheet);
}

void GestureRegionButton::setFields(const GestureRegionFields& fields) {
    fields_ = fields;
    setText(summaryTitle(fields_, compact_));
}

QString GestureRegionButton::summaryTitle(const GestureRegionFields& fields, bool compact) {
    if (compact) return tr("区域");
    const GestureRegion region = fields.region.value_or(GestureRegion::anywhere);
    if (region != GestureRegion::custom) return title(region);
    if (fields.customRegions) return NormalizedRegionRect::listTitle(*fields.customRegions);
    if (fields.customRegion) return NormalizedRegionRect::listTitle(std::span(&*fields.customRegion, 1));
    return NormalizedRegionRect::listTitle({});
}

RegionSelection GestureRegionButton::sheetStart(const GestureRegionFields& fields, float edgeWidth) {
    RegionSelection start;
    start.selection = fields.region.value_or(GestureRegion::anywhere);
    std::vector<NormalizedRegionRect> source;
    if (start.selection != GestureRegion::custom) {
        source = {glidra::rect(start.selection, edgeWidth)};
    } else if (fields.customRegions) {
        source = *fields.customRegions;
    } else if (fields.customRegion) {
        source = {*fields.customRegion};
    }
    const auto common = NormalizedRegionRect::intersection(source);
    if (common) start.rectangles = {*common};
    // The size whose preset the region is, so its direction shows selected.
    // intersection() already demands a non-empty list of valid rectangles
    // with a valid overlap.
    start.percent = 25;
    if (common) {
        const auto* size = std::find_if(RegionQuickPicker::sizes.begin(), RegionQuickPicker::sizes.end(),
                                        [&](int percent) { return matchingQuickPreset(*common, percent).has_value(); });
        if (size != RegionQuickPicker::sizes.end()) start.percent = *size;
    }
    return start;
}

GestureRegionFields GestureRegionButton::applySelection(GestureRegion selection,
                                                        const std::vector<NormalizedRegionRect>& rectangles) {
    GestureRegionFields fields;
    fields.region = selection;
    fields.customRegion = NormalizedRegionRect::intersection(rectangles);
    if (rectangles.size() >= 2) fields.customRegions = rectangles;
    return fields;
}

RegionSelectionSheet* GestureRegionButton::sheet() const { return sheet_; }

void GestureRegionButton::openSheet() {
    if (sheet_) {
        sheet_->raise();
        sheet_->activateWindow();
        return;
    }
    // The edge width is read now, so a changed width shows in the sheet.
    const auto start = sheetStart(fields_, float(context_.settings.edgeWidth()));
    sheet_ = new RegionSelectionSheet(
        context_, start,
        [this](GestureRegion selection, std::vector<NormalizedRegionRect> rectangles) {
            setFields(applySelection(selection, rectangles));
            Q_EMIT regionChosen(fields_);
        },
        this);
    sheet_->open();
}

}  // namespace glidra
