#pragma once

#include "views/rules/GestureRegionFields.h"
#include "views/rules/RegionSelectionModel.h"

#include <QPointer>
#include <QPushButton>

namespace glidra {

struct ViewContext;
class RegionSelectionSheet;

// A rule's trigger region as a short title; a click opens the region sheet
// on the rule's region and a confirmed sheet hands back all three region
// fields in one regionChosen. The compact form, for rule rows, always reads
// "区域".
class GestureRegionButton : public QPushButton {
    Q_OBJECT
public:
    GestureRegionButton(ViewContext& context, bool compact, QWidget* parent = nullptr);

    // From the owner's rule; no signal.
    void setFields(const GestureRegionFields& fields);
    const GestureRegionFields& fields() const { return fields_; }
    bool isCompact() const { return compact_; }

    // Opens the sheet, or raises the one already open.
    void openSheet();
    RegionSelectionSheet* sheet() const;

    static QString summaryTitle(const GestureRegionFields& fields, bool compact);
    // The sheet's starting state for a rule's fields, with preset edge bands
    // `edgeWidth` wide. Several stored rectangles open as their intersection.
    static RegionSelection sheetStart(const GestureRegionFields& fields, float edgeWidth);
    // The fields a confirmed sheet gives.
    static GestureRegionFields applySelection(GestureRegion selection,
                                              const std::vector<NormalizedRegionRect>& rectangles);

Q_SIGNALS:
    void regionChosen(const glidra::GestureRegionFields& fields);

private:
    ViewContext& context_;
    bool compact_;
    GestureRegionFields fields_;
    QPointer<RegionSelectionSheet> sheet_;
};

}  // namespace glidra
