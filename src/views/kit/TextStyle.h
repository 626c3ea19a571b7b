#pragma once

#include "common/EnumTable.h"

#include <QFont>

#include <optional>

class QWidget;

namespace glidra::kit {

// The named text styles the views ask for. Sizes follow the application font,
// which stands for the body style.
enum class TextStyle {
    largeTitle,
    title,
    title2,
    title3,
    headline,
    subheadline,
    body,
    callout,
    footnote,
    caption,
    caption2,
};

}  // namespace glidra::kit

namespace glidra {

template <>
struct EnumTable<kit::TextStyle> {
    struct Row {
        kit::TextStyle value;
        const char* raw;
        double scale;  // of the body size
        QFont::Weight weight;
    };
    // Relative sizes of a desktop type ramp, with the small styles kept at
    // 0.8 of the body so that Chinese glyphs stay legible.
    static constexpr Row cases[] = {
        {kit::TextStyle::largeTitle, "largeTitle", 2.0, QFont::Normal},
        {kit::TextStyle::title, "title", 1.7, QFont::Normal},
        {kit::TextStyle::title2, "title2", 1.3, QFont::Normal},
        {kit::TextStyle::title3, "title3", 1.15, QFont::Normal},
        {kit::TextStyle::headline, "headline", 1.0, QFont::Bold},
        {kit::TextStyle::subheadline, "subheadline", 0.85, QFont::Normal},
        {kit::TextStyle::body, "body", 1.0, QFont::Normal},
        {kit::TextStyle::callout, "callout", 0.92, QFont::Normal},
        {kit::TextStyle::footnote, "footnote", 0.8, QFont::Normal},
        {kit::TextStyle::caption, "caption", 0.8, QFont::Normal},
        {kit::TextStyle::caption2, "caption2", 0.8, QFont::Medium},
    };
};

}  // namespace glidra

namespace glidra::kit {

// The font of a style, built from `base` (the application font when absent)
// with the style's size and weight; `weight` overrides the style's own.
QFont font(TextStyle style, std::optional<QFont::Weight> weight = std::nullopt, const QFont& base = QFont());

// Sets a widget's font to a style.
void setTextStyle(QWidget* widget, TextStyle style, std::optional<QFont::Weight> weight = std::nullopt);

// The family put first in the application font: it holds every Chinese glyph
// the texts need and matches their Latin parts.
inline constexpr const char* applicationFontFamily = "Noto Sans CJK SC";

// Puts the family first in the application font, keeping the desktop's size
// and its families as fallbacks. The application calls it once at start.
void useApplicationFont();

}  // namespace glidra::kit
