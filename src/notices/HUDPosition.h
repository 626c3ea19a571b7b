#pragma once

#include "common/EnumTable.h"
#include "common/Localized.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstddef>
#include <optional>

namespace glidra {

// Where on the screen the HUD appears; the user's choice, stored by raw string.
enum class HUDPosition { top, middle, bottom, topRight, menuBarIcon };

template <>
struct EnumTable<HUDPosition> {
    struct Row {
        HUDPosition value;
        const char* raw;
        const char* title;
    };
    static constexpr Row cases[] = {
        {HUDPosition::top, "top", GLIDRA_TEXT("上")},
        {HUDPosition::middle, "middle", GLIDRA_TEXT("中")},
        {HUDPosition::bottom, "bottom", GLIDRA_TEXT("下")},
        {HUDPosition::topRight, "topRight", GLIDRA_TEXT("右上角")},
        {HUDPosition::menuBarIcon, "menuBarIcon", GLIDRA_TEXT("图标下方")},
    };
};

QString title(HUDPosition position);

// The panel's origin (its bottom-left corner) for a position.
//
// All geometry is in screen coordinates with the origin at the bottom left and
// y growing upward: a QRectF's x() is its minX and y() its minY, and
// y() + height() its maxY (Qt's own top()/bottom() names do not apply).
// `visibleFrame` is the chosen screen's usable area, `size` the panel's size,
// and `anchor` the menu-bar icon's frame, used by menuBarIcon when it is a
// real rectangle. The result is clamped into the visible frame; a panel larger
// than the frame sits at its left or bottom edge.
QPointF origin(HUDPosition position, const QRectF& visibleFrame, const QSizeF& size,
               const std::optional<QRectF>& anchor = std::nullopt);

// Hashes by the raw string.
size_t qHash(HUDPosition position, size_t seed = 0) noexcept;

}  // namespace glidra
