#include "views/actions/ShortcutTargetPicker.h"

#include "executors/ShortcutActionService.h"
#include "platform/Workspace.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/StyledLabel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>

namespace glidra {

namespace {

// Row 0 stands for no shortcut; a missing stored one comes next.
constexpr int noneRow = 0;

}  // namespace

ShortcutTargetPicker::ShortcutTargetPicker(ShortcutActionService& service, Workspace& workspace, QWidget* parent)
    : QWidget(parent),
      service_(service),
      workspace_(workspace),
      loading_(new QWidget),
      list_(new QComboBox),
      reload_(new QPushButton(tr("刷新列表"))),
      messageLine_(new kit::CaptionLine) {
    setObjectName(QStringLiteral("shortcutPicker"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    loading_->setObjectName(QStringLiteral("shortcutsLoading"));
    auto* loadingRow = new QHBoxLayout(loading_);
    loadingRow->setContentsMargins(0, 0, 0, 0);
    auto* spinner = new QProgressBar;
    spinner->setRange(0, 0);
    spinner->setMaximumSize(60, 8);
    spinner->setTextVisible(false);
    loadingRow->addWidget(spinner);
    loadingRow->addWidget(new kit::StyledLabel(tr("读取快捷指令…"), kit::TextStyle::caption), 1);
    column->addWidget(loading_);

    auto* form = new QFormLayout;
    form->setContentsMargins(0, 0, 0, 0);
    list_->setObjectName(QStringLiteral("shortcutList"));
    list_->setAccessibleName(tr("快捷指令"));
    list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    form->addRow(tr("快捷指令"), list_);
    column->addLayout(form);

    auto* buttons = new QHBoxLayout;
    reload_->setObjectName(QStringLiteral("reloadShortcuts"));
    buttons->addWidget(reload_);
    buttons->addStretch(1);
    column->addLayout(buttons);

    messageLine_->setObjectName(QStringLiteral("shortcutsMessage"));
    column->addWidget(messageLine_);
    column->addWidget(new kit::CaptionLine(tr("使用你已有的快捷指令；首次运行如有系统确认，请按提示操作。")));

    connect(list_, &QComboBox::activated, this, &ShortcutTargetPicker::choose);
    connect(reload_, &QPushButton::clicked, this, [this] { loadShortcuts(); });
    refresh();
}

void ShortcutTargetPicker::setSelection(const std::optional<ShortcutTarget>& selection) {
    selection_ = selection;
    refresh();
}

QCoro::Task<> ShortcutTargetPicker::loadShortcuts() { return load(QPointer(this), &service_); }

QCoro::Task<> ShortcutTargetPicker::load(QPointer<ShortcutTargetPicker> picker, ShortcutActionService* service) {
    if (!picker || picker->isLoading_) co_return;
    picker->isLoading_ = true;
    picker->refresh();
    auto result = co_await service->loadShortcuts();
    if (!picker) co_return;
    if (result.ok()) {
        picker->targets_ = std::move(result).value();
        if (picker->selection_) {
            const QString id = picker->selection_->id;
            const auto found = std::find_if(picker->targets_.begin(), picker->targets_.end(),
                                            [&id](const ShortcutTarget& target) { return target.id == id; });
            // A shortcut renamed in the app is stored under its new name;
            // showing the list alone writes nothing.
            if (found != picker->targets_.end() && *found != *picker->selection_) {
                picker->selection_ = *found;
                Q_EMIT picker->selectionChanged(picker->selection_);
                if (!picker) co_return;
            }
        }
        picker->message_ = picker->targets_.empty()
                               ? std::optional(tr("还没有快捷指令，请先用 shortcuts 命令创建一个。"))
                               : std::nullopt;
    } else {
        picker->message_ = tr("无法读取快捷指令列表：这台电脑没有可用的 shortcuts 命令。");
    }
    picker->isLoading_ = false;
    picker->refresh();
}

void ShortcutTargetPicker::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) loadShortcuts();
}

void ShortcutTargetPicker::choose(int row) {
    const QVariant data = list_->itemData(row);
    std::optional<ShortcutTarget> chosen;
    if (row != noneRow) {
        const int index = data.toInt();
        chosen = index < 0 ? selection_ : std::optional(targets_.at(std::size_t(index)));
    }
    if (chosen == selection_) return;
    selection_ = chosen;
    refresh();
    Q_EMIT selectionChanged(selection_);
}

void ShortcutTargetPicker::refresh() {
    loading_->setVisible(isLoading_);
    reload_->setEnabled(!isLoading_);
    messageLine_->setVisible(bool(message_));
    messageLine_->setText(message_.value_or(QString()));

    const QSignalBlocker blocker(list_);
    list_->clear();
    list_->addItem(tr("请选择"), -2);
    int current = noneRow;
    const auto listed = [this](const QString& id) {
        return std::any_of(targets_.begin(), targets_.end(), [&id](const ShortcutTarget& t) { return t.id == id; });
    };
    if (selection_ && !listed(selection_->id)) {
        list_->addItem(selection_->name + tr("（未在列表中找到）"), -1);
        current = list_->count() - 1;
    }
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        list_->addItem(targets_[i].name, int(i));
        if (selection_ && targets_[i].id == selection_->id) current = list_->count() - 1;
    }
    list_->setCurrentIndex(current);
}

}  // namespace glidra
