#pragma once

#include "platform/Pasteboard.h"

#include <QStringList>

namespace glidra::sim {

// A clipboard that holds a text, a picture or nothing, counts every change,
// records what the program wrote, and refuses writes on demand.
class SimPasteboard final : public Pasteboard {
public:
    std::int64_t changeCount() const override { return changeCount_; }
    std::optional<QString> text() const override { return text_; }
    bool hasImage() const override { return hasImage_; }
    bool writeText(const QString& text) override;

    // Another program (or the user) copies something.
    void copyText(const QString& text);
    void copyImage();
    void clear();

    // While set, writeText fails and leaves the contents as they were.
    void setRefusesWrites(bool refuses) { refusesWrites_ = refuses; }
    // Every text the program asked to write, refused ones included.
    const QStringList& writtenTexts() const { return writtenTexts_; }

private:
    std::int64_t changeCount_ = 0;
    std::optional<QString> text_;
    bool hasImage_ = false;
    bool refusesWrites_ = false;
    QStringList writtenTexts_;
};

}  // namespace glidra::sim
