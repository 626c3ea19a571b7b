#pragma once

#include "settings/ConfigurationArchive.h"

#include <QDialog>

#include <functional>

class QPushButton;

namespace glidra {

// The sheet that asks before an import replaces the configuration: the
// file's name, how many gestures come in against how many there are, and
// what the import changes. "取消" (or Escape, or closing the window) runs
// onCancel; "确认" (the default button, so Return) runs onImport. The owner
// closes the sheet.
class ConfigurationImportPreview final : public QDialog {
    Q_OBJECT
public:
    static constexpr int sheetWidth = 480;
    static constexpr int padding = 28;
    static constexpr int fileNameLines = 2;

    ConfigurationImportPreview(const ConfigurationArchive& archive, const QString& fileName, int currentGestureCount,
                               std::function<void()> onCancel, std::function<void()> onImport,
                               QWidget* parent = nullptr);

    // The text cut after `lines` lines of `width` in `font`, ending in an
    // ellipsis when cut.
    static QString elidedToLines(const QString& text, const QFont& font, int width, int lines);

    void reject() override;

private:
    std::function<void()> onCancel_;
    std::function<void()> onImport_;
};

}  // namespace glidra
