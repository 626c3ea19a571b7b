#include "platform/linux/QtClipboardPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace glidra::linux_platform {

QtClipboardPasteboard::QtClipboardPasteboard(QObject* parent) : QObject(parent) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    clipboard_ = QGuiApplication::clipboard();
    connect(clipboard_, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard) ++changeCount_;
    });
}

std::optional<QString> QtClipboardPasteboard::text() const {
    const QMimeData* data = clipboard_ ? clipboard_->mimeData() : nullptr;
    if (!data || !data->hasText()) return std::nullopt;
    return data->text();
}

bool QtClipboardPasteboard::hasImage() const {
    const QMimeData* data = clipboard_ ? clipboard_->mimeData() : nullptr;
    if (!data) return false;
    const QStringList formats = data->formats();
    return data->hasImage() || formats.contains(QLatin1String("image/png")) ||
           formats.contains(QLatin1String("image/tiff"));
}

bool QtClipboardPasteboard::writeText(const QString& text) {
    if (!clipboard_) return false;
    clipboard_->setText(text);
    ++changeCount_;
    // The desktop may refuse ownership of the clipboard.
    return clipboard_->text() == text;
}

bool QtClipboardPasteboard::writeImageFile(const QString& path) {
    if (!clipboard_) return false;
    const QImage image(path);
    if (image.isNull()) return false;
    clipboard_->setImage(image);
    ++changeCount_;
    return true;
}

}  // namespace glidra::linux_platform
