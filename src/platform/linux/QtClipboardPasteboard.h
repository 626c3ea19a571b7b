#pragma once

#include "platform/Pasteboard.h"

#include <QObject>

class QClipboard;

namespace glidra::linux_platform {

// The desktop clipboard through QClipboard. Qt's clipboard belongs to the
// QGuiApplication (the program's QApplication): built without one, this
// clipboard is empty and refuses writes. The change count grows with every
// change Qt reports and with every write of ours. Main thread only.
class QtClipboardPasteboard final : public QObject, public Pasteboard {
    Q_OBJECT

public:
    explicit QtClipboardPasteboard(QObject* parent = nullptr);

    std::int64_t changeCount() const override { return changeCount_; }
    std::optional<QString> text() const override;
    bool hasImage() const override;
    bool writeText(const QString& text) override;

    // Replaces the contents with the picture in the file at `path`; false
    // when the file holds no picture or there is no clipboard.
    bool writeImageFile(const QString& path);

private:
    QClipboard* clipboard_ = nullptr;
    std::int64_t changeCount_ = 0;
};

}  // namespace glidra::linux_platform
