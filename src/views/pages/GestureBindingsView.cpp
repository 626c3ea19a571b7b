#include "views/pages/GestureBindingsView.h"

#include "views/ViewContext.h"
#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"
#include "views/kit/GroupBox.h"
#include "views/kit/StyledLabel.h"
#include "views/pages/Divider.h"
#include "views/pages/EdgeControlRow.h"
#include "views/pages/EdgeRegionSettingsView.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace glidra {

GestureBindingsView::GestureBindingsView(ViewContext& context, QWidget* parent)
    : QWidget(parent),
      settings_(context.settings),
      controller_(context.controller),
      reset_(new QPushButton(tr("恢复默认…"))) {
    setObjectName(QStringLiteral("gestureBindings"));
    reset_->setObjectName(QStringLiteral("resetToDefaults"));

    auto* edges = new kit::GroupBox;
    edges->setObjectName(QStringLiteral("edgeRows"));
    const auto all = enumAllCases<EdgeLocation>();
    for (std::size_t i = 0; i < std::size(all); ++i) {
        edges->addWidget(new EdgeControlRow(context, all[i]));
        if (i + 1 < std::size(all)) edges->addWidget(divider());
    }

    auto* help = new kit::StyledLabel(tr("左右边缘上下滑，上下边缘左右滑。按住 Alt 可精细调节。"),
                                      kit::TextStyle::callout, kit::KitColour::secondary);
    help->setWordWrap(true);
    auto* resetRow = new QHBoxLayout;
    resetRow->setContentsMargins(0, 0, 0, 0);
    resetRow->addWidget(reset_);
    resetRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(20);
    layout->addWidget(new EdgeRegionSettingsView(settings_, controller_));
    layout->addWidget(edges);
    layout->addWidget(help);
    layout->addLayout(resetRow);

    connect(reset_, &QPushButton::clicked, this, &GestureBindingsView::askToReset);
    // Any change of the bindings, from a row, the reset or an import, stops
    // gestures begun under the old ones; never on first display. The page is
    // the context, so a closed one leaves no reaction behind.
    connect(&settings_, &ControlSettings::bindingsChanged, this, [this] { controller_.resetGestureState(); });
}

void GestureBindingsView::askToReset() {
    if (confirmReset_) return;
    auto* box = new QMessageBox(this);
    box->setObjectName(QStringLiteral("confirmReset"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(QMessageBox::NoIcon);
    box->setWindowTitle(tr("恢复默认？"));
    box->setText(tr("恢复默认？"));
    box->setInformativeText(tr("边缘设置将恢复默认，自定义快捷键也会清除。"));
    auto* cancel = box->addButton(tr("取消"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel"));
    auto* confirm = box->addButton(tr("确认"), QMessageBox::DestructiveRole);
    confirm->setObjectName(QStringLiteral("confirm"));
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    connect(box, &QMessageBox::buttonClicked, this, [this, confirm](QAbstractButton* button) {
        if (button == confirm) resetToDefaults();
    });
    // Dismissed any way, the dialog is gone: the page can ask again.
    connect(box, &QMessageBox::finished, this, [this] { confirmReset_ = nullptr; });
    confirmReset_ = box;
    // Window-modal without a nested loop that could outlive the page.
    box->open();
}

void GestureBindingsView::resetToDefaults() {
    settings_.setLocksPointerDuringEdgeAdjustments(false);
    settings_.setBindings(GestureBinding::defaultBindings());
    settings_.setEdgeConfigurations({});
}

}  // namespace glidra
