#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QObject;
class QWidget;

namespace glidra {

// The desktop's open and save panels. A panel is window-modal to `parent`
// and never runs a loop of its own: the call returns at once, and the answer
// comes later from the event loop. It goes to `answer` only while `receiver`
// lives, and the panel closes when `receiver` goes; a panel destroyed with
// its parent answers nothing.
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

    // The chosen absolute path; nothing when the user cancelled.
    using Answer = std::function<void(std::optional<QString>)>;

    virtual ~FileDialogs() = default;

    // One existing file (or folder).
    virtual void openFile(QWidget* parent, const OpenRequest& request, QObject* receiver, Answer answer) = 0;
    // The path to write.
    virtual void saveFile(QWidget* parent, const SaveRequest& request, QObject* receiver, Answer answer) = 0;
};

}  // namespace glidra
