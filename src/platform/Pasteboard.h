#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace glidra {

// The desktop's general clipboard.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    // Grows by at least one with every change of the contents, by this
    // program or another; only comparisons of two readings mean anything.
    virtual std::int64_t changeCount() const = 0;

    // The contents as plain text; nothing when they hold no text.
    virtual std::optional<QString> text() const = 0;

    // Whether the contents include a picture (PNG, TIFF or any other image).
    virtual bool hasImage() const = 0;

    // Replaces the whole contents with one plain text; false when the
    // clipboard did not take it.
    virtual bool writeText(const QString& text) = 0;
};

}  // namespace glidra
