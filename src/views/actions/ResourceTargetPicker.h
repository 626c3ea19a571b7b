#pragma once

#include "actions/ResourceTarget.h"

#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;

namespace glidra {

class FileDialogs;

namespace kit {
class StyledLabel;
class SymbolLabel;
}  // namespace kit

// The row that names the file of openFile or the folder of openFolder and
// lets the user choose another through the open panel. It never opens the
// item itself.
class ResourceTargetPicker : public QWidget {
    Q_OBJECT
public:
    ResourceTargetPicker(FileDialogs& dialogs, bool selectsFolder, QWidget* parent = nullptr);

    // From the owner: no signal.
    void setSelection(const std::optional<ResourceTarget>& selection);
    const std::optional<ResourceTarget>& selection() const { return selection_; }

    // Opens the panel; a choice, when it arrives, replaces the whole
    // selection.
    void chooseResource();

Q_SIGNALS:
    void selectionChanged(const std::optional<glidra::ResourceTarget>& selection);

private:
    void resourceChosen(const QString& path);
    void refresh();

    FileDialogs& dialogs_;
    bool selectsFolder_;
    std::optional<ResourceTarget> selection_;
    kit::SymbolLabel* placeholder_;
    QLabel* icon_;
    kit::StyledLabel* name_;
    QPushButton* choose_;
};

}  // namespace glidra
