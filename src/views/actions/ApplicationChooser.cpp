#include "views/actions/ApplicationChooser.h"

#include "common/TextSearch.h"
#include "platform/FileDialogs.h"
#include "views/actions/TargetIcon.h"
#include "views/kit/Ground.h"
#include "views/kit/ProminentButton.h"
#include "views/kit/ScreenRoom.h"
#include "views/kit/Symbols.h"

#include <QAbstractListModel>
#include <QCollator>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

namespace {

constexpr int iconSide = 24;
constexpr QSize defaultSize(420, 520);

enum Role { PathRole = Qt::UserRole + 1 };

class ApplicationListModel final : public QAbstractListModel {
public:
    ApplicationListModel(std::vector<InstalledApplication> applications, QObject* parent)
        : QAbstractListModel(parent), applications_(std::move(applications)) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : int(applications_.size()); }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= int(applications_.size())) return {};
        const InstalledApplication& application = applications_[size_t(index.row())];
        switch (role) {
            case Qt::DisplayRole:
            case Qt::AccessibleTextRole:
                return application.bundle.displayName;
            case Qt::DecorationRole:
                return icon(application);
            case Qt::ToolTipRole:
            case PathRole:
                return application.path;
            default:
                return {};
        }
    }

private:
    // The entry's own icon; an application's symbol for one without.
    static QIcon icon(const InstalledApplication& application) {
        if (const auto& name = application.bundle.iconName) {
            const QIcon own = entryIcon(*name);
            if (!own.isNull()) return own;
        }
        return kit::symbolIcon(QStringLiteral("app"), kit::KitColour::secondary);
    }

    std::vector<InstalledApplication> applications_;
};

// The rows whose name holds the search text, accents, case and width aside.
class ApplicationSearchModel final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setSearch(const QString& search) {
        search_ = search.trimmed();
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (search_.isEmpty()) return true;
        return searchContains(sourceModel()->index(row, 0, parent).data(Qt::DisplayRole).toString(), search_);
    }

private:
    QString search_;
};

// Down from the search field goes on to the list, as in the desktop's own
// choosers.
class SearchField final : public QLineEdit {
public:
    explicit SearchField(QListView* list) : list_(list) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Down && list_->model()->rowCount() > 0) {
            list_->setFocus(Qt::TabFocusReason);
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

private:
    QListView* list_;
};

}  // namespace

ApplicationChooser::ApplicationChooser(Workspace& workspace, FileDialogs& fileDialogs, QWidget* parent)
    : QDialog(parent),
      fileDialogs_(fileDialogs),
      list_(new QListView),
      filter_(new ApplicationSearchModel(this)),
      chooseFile_(new QPushButton(tr("其他位置…"))),
      cancel_(new QPushButton(tr("取消"))),
      choose_(new QPushButton(tr("选择"))) {
    setObjectName(QStringLiteral("applicationChooser"));
    setWindowTitle(tr("选择应用"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);

    search_ = new SearchField(list_);
    search_->setObjectName(QStringLiteral("applicationSearch"));
    search_->setPlaceholderText(tr("搜索应用"));
    kit::keepPlaceholderLegible(search_);
    search_->setAccessibleName(tr("搜索应用"));
    search_->setClearButtonEnabled(true);

    filter_->setSourceModel(new ApplicationListModel(ordered(workspace.installedApplications(), QLocale()), filter_));
    list_->setObjectName(QStringLiteral("applicationList"));
    list_->setAccessibleName(tr("应用"));
    list_->setModel(filter_);
    list_->setIconSize(QSize(iconSide, iconSide));
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSpacing(2);

    chooseFile_->setObjectName(QStringLiteral("chooseApplicationFile"));
    chooseFile_->setToolTip(tr("选择不在列表中的应用的 .desktop 文件"));
    chooseFile_->setAutoDefault(false);
    cancel_->setObjectName(QStringLiteral("cancel"));
    cancel_->setAutoDefault(false);
    choose_->setObjectName(QStringLiteral("choose"));
    choose_->setDefault(true);
    kit::makeProminent(choose_);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(chooseFile_);
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    buttons->addWidget(choose_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    layout->addWidget(search_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    kit::fitToScreen(this, defaultSize, {});

    if (filter_->rowCount() > 0) list_->setCurrentIndex(filter_->index(0, 0));
    syncChooseButton();
    search_->setFocus(Qt::OtherFocusReason);

    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
        static_cast<ApplicationSearchModel*>(filter_)->setSearch(text);
        // The best match is ready for Return.
        if (filter_->rowCount() > 0) list_->setCurrentIndex(filter_->index(0, 0));
        syncChooseButton();
    });
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, &ApplicationChooser::syncChooseButton);
    connect(list_, &QListView::activated, this, &ApplicationChooser::chooseCurrent);
    connect(choose_, &QPushButton::clicked, this, &ApplicationChooser::chooseCurrent);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(chooseFile_, &QPushButton::clicked, this, &ApplicationChooser::chooseFile);
}

ApplicationChooser* ApplicationChooser::choose(Workspace& workspace, FileDialogs& fileDialogs, QWidget* parent) {
    auto* chooser = new ApplicationChooser(workspace, fileDialogs, parent);
    chooser->open();
    return chooser;
}

std::vector<InstalledApplication> ApplicationChooser::ordered(std::vector<InstalledApplication> applications,
                                                              const QLocale& locale) {
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(applications.begin(), applications.end(),
                     [&collator](const InstalledApplication& left, const InstalledApplication& right) {
                         const int byName = collator.compare(left.bundle.displayName, right.bundle.displayName);
                         return byName != 0 ? byName < 0 : left.path < right.path;
                     });
    return applications;
}

QStringList ApplicationChooser::listedNames() const {
    QStringList names;
    for (int row = 0; row < filter_->rowCount(); ++row) names << filter_->index(row, 0).data().toString();
    return names;
}

void ApplicationChooser::chooseCurrent() {
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid()) return;
    finish(current.data(PathRole).toString());
}

// For an entry the menus do not list: one in a download folder, say.
void ApplicationChooser::chooseFile() {
    fileDialogs_.openFile(this, FileDialogs::OpenRequest{{}, QDir::homePath(), {tr("应用 (*.desktop)")}, false, {}},
                          this, [self = QPointer<ApplicationChooser>(this)](std::optional<QString> path) {
                              // The sheet may have been closed while the panel was up.
                              if (self && self->isVisible() && path) self->finish(*path);
                          });
}

void ApplicationChooser::finish(const QString& path) {
    Q_EMIT chosen(path);
    accept();
}

void ApplicationChooser::syncChooseButton() { choose_->setEnabled(list_->currentIndex().isValid()); }

}  // namespace glidra
