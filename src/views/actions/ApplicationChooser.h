#pragma once

#include "platform/Workspace.h"

#include <QDialog>
#include <QLocale>

#include <vector>

class QLineEdit;
class QListView;
class QModelIndex;
class QPushButton;
class QSortFilterProxyModel;

namespace glidra {

class FileDialogs;

// The sheet on which the user picks an application: the ones the desktop's
// menus list, by name and icon, in name order, to search and choose from;
// a desktop entry anywhere else through the file panel. Made per request,
// window-modal to its parent and deleted on close; `chosen` reports the
// path of the chosen desktop entry, and the sheet closes.
class ApplicationChooser : public QDialog {
    Q_OBJECT
public:
    ApplicationChooser(Workspace& workspace, FileDialogs& fileDialogs, QWidget* parent);

    // Opens a chooser over `parent` and returns it, for its `chosen` signal.
    static ApplicationChooser* choose(Workspace& workspace, FileDialogs& fileDialogs, QWidget* parent);

    // By name as the locale orders text, numbers by their value and letter
    // case aside, as a file manager lists a folder; the same names by path.
    static std::vector<InstalledApplication> ordered(std::vector<InstalledApplication> applications,
                                                     const QLocale& locale);

    // The names listed now, in order.
    QStringList listedNames() const;

Q_SIGNALS:
    void chosen(const QString& path);

private:
    void chooseFile();
    void chooseCurrent();
    void finish(const QString& path);
    void syncChooseButton();

    FileDialogs& fileDialogs_;
    QLineEdit* search_;
    QListView* list_;
    QSortFilterProxyModel* filter_;
    QPushButton* chooseFile_;
    QPushButton* cancel_;
    QPushButton* choose_;
};

}  // namespace glidra
