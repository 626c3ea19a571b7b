#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace glidra {

// The desktop's open and save panels. Each call is modal to `parent` and
// returns once the user has chosen; nothing when the user cancelled. The
// panel runs a nested event loop, so callers re-check their own state after.
class FileDialogs {
public:
    struct OpenRequest {
        QString title;
        QString directory;        // where the panel opens; empty for its own choice
        QStringList nameFilters;  // as "JSON (*.json)"; empty for every file
        bool choosesDirectories = false;
        QString acceptLabel;  // the choosing button's text; empty for the panel's own
    };

    struct SaveRequest {
        QString title;
        QString directory;
        QString fileName;  // proposed
        QStringList nameFilters;
        QString defaultSuffix;  // added when the typed name has none
    };

    virtual ~FileDialogs() = default;

    // One existing file (or folder), as an absolute path.
    virtual std::optional<QString> openFile(QWidget* parent, const OpenRequest& request) = 0;
    // The path to write, as an absolute path.
    virtual std::optional<QString> saveFile(QWidget* parent, const SaveRequest& request) = 0;
};

}  // namespace glidra
