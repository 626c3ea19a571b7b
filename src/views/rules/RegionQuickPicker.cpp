#include "views/rules/RegionQuickPicker.h"

#include "views/kit/KitColour.h"
#include "views/kit/SegmentedControl.h"
#include "views/kit/Symbols.h"
#include "views/kit/TextStyle.h"
#include "views/rules/RegionSelectionModel.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

namespace {

const char* symbolOf(RegionQuickPreset preset) {
    switch (preset) {
        case RegionQuickPreset::topLeft:
            return "arrow.up.left";
        case RegionQuickPreset::top:
            return "arrow.up";
        case RegionQuickPreset::topRight:
            return "arrow.up.right";
        case RegionQuickPreset::left:
            return "arrow.left";
        case RegionQuickPreset::center:
            return "dot.scope";
        case RegionQuickPreset::right:
            return "arrow.right";
        case RegionQuickPreset::bottomLeft:
            return "arrow.down.left";
        case RegionQuickPreset::bottom:
            return "arrow.down";
        case RegionQuickPreset::bottomRight:
            return "arrow.down.right";
    }
    return "";
}

// A direction preset: its symbol on a rounded tile, tinted while selected.
// The selection follows the sheet's state, so a click only reports.
class DirectionButton final : public QAbstractButton {
public:
    explicit DirectionButton(RegionQuickPreset preset) : preset_(preset) {
        setCheckable(true);
        setFocusPolicy(Qt::StrongFocus);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        kit::setTextStyle(this, kit::TextStyle::body, QFont::Medium);
    }

    QSize sizeHint() const override { return {38, 38}; }
    QSize minimumSizeHint() const override { return {10, 38}; }

protected:
    void nextCheckState() override {}

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPalette& pal = palette();
        const float opacity = (isChecked() ? 0.15f : 0.06f) * (isDown() ? 2 : 1);
        const QColor tile =
            kit::faded(kit::colour(isChecked() ? kit::KitColour::accent : kit::KitColour::secondary, pal), opacity);
        painter.setPen(Qt::NoPen);
        painter.setBrush(tile);
        painter.drawRoundedRect(QRectF(rect()), 8, 8);
        const QColor ink = isChecked() ? kit::accentOver(pal, {tile}) : kit::colour(kit::KitColour::primary, pal);
        const double side = fontMetrics().height();
        const QRectF box(rect().center().x() + 0.5 - side / 2, rect().center().y() + 0.5 - side / 2, side, side);
        kit::paintSymbol(painter, box, QString::fromLatin1(symbolOf(preset_)), ink);
        if (hasFocus()) {
            painter.setPen(QPen(kit::faded(kit::colour(kit::KitColour::accent, pal), 0.6f), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 7, 7);
        }
    }

private:
    RegionQuickPreset preset_;
};

}  // namespace

RegionQuickPicker::RegionQuickPicker(RegionSelectionModel& model, QWidget* parent)
    : QWidget(parent), model_(model), percent_(new kit::SegmentedControl), wholeTrackpad_(new QToolButton) {
    setObjectName(QStringLiteral("regionQuickPicker"));

    QStringList options;
    for (const int size : sizes) options.append(tr("%1%").arg(size));
    percent_->setOptions(options);
    percent_->setObjectName(QStringLiteral("percent"));
    percent_->setAccessibleName(tr("区域比例"));
    percent_->setFixedWidth(240);

    wholeTrackpad_->setObjectName(QStringLiteral("selectWholeTrackpad"));
    wholeTrackpad_->setIcon(kit::symbolIcon(QStringLiteral("arrow.up.left.and.arrow.down.right")));
    wholeTrackpad_->setAccessibleName(tr("全触控板"));
    wholeTrackpad_->setToolTip(tr("选择整个触控板"));
    wholeTrackpad_->setToolButtonStyle(Qt::ToolButtonIconOnly);

    auto* sizeRow = new QHBoxLayout;
    sizeRow->setContentsMargins(0, 0, 0, 0);
    sizeRow->addWidget(percent_, 0, Qt::AlignVCenter);
    sizeRow->addStretch(1);
    sizeRow->addWidget(wholeTrackpad_, 0, Qt::AlignVCenter);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(8);
    for (const auto preset : enumAllCases<RegionQuickPreset>()) {
        const auto index = size_t(preset);
        auto* button = new DirectionButton(preset);
        button->setObjectName(QStringLiteral("quickPreset:") + enumRaw(preset));
        directions_[index] = button;
        grid->addWidget(button, 0, int(index));
        grid->setColumnStretch(int(index), 1);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addLayout(sizeRow);
    layout->addLayout(grid);

    sync();

    connect(percent_, &kit::SegmentedControl::activated, this, [this](int index) {
        if (index >= 0 && index < int(sizes.size())) model_.setPercent(sizes[size_t(index)]);
    });
    connect(wholeTrackpad_, &QToolButton::clicked, this, &RegionQuickPicker::selectWholeTrackpad);
    for (const auto preset : enumAllCases<RegionQuickPreset>()) {
        connect(directions_[size_t(preset)], &QAbstractButton::clicked, this, [this, preset] { choosePreset(preset); });
    }
    connect(&model_, &RegionSelectionModel::percentChanged, this, &RegionQuickPicker::rescalePreset);
    connect(&model_, &RegionSelectionModel::percentChanged, this, &RegionQuickPicker::sync);
    connect(&model_, &RegionSelectionModel::regionChanged, this, &RegionQuickPicker::sync);
}

QAbstractButton* RegionQuickPicker::directionButton(RegionQuickPreset preset) const {
    return directions_[size_t(preset)];
}

void RegionQuickPicker::choosePreset(RegionQuickPreset preset) {
    model_.choose(GestureRegion::custom, {glidra::rect(preset, model_.percent())});
}

void RegionQuickPicker::selectWholeTrackpad() { model_.choose(GestureRegion::anywhere, {{0, 0, 1, 1}}); }

void RegionQuickPicker::rescalePreset(int previous, int current) {
    if (model_.selection() != GestureRegion::custom || model_.rectangles().empty()) return;
    if (const auto preset = matchingQuickPreset(model_.rectangles().front(), previous)) {
        model_.choose(GestureRegion::custom, {glidra::rect(*preset, current)});
    }
}

void RegionQuickPicker::sync() {
    const int percent = model_.percent();
    const auto* chosen = std::find(sizes.begin(), sizes.end(), percent);
    {
        const QSignalBlocker blocker(percent_);
        percent_->setCurrentIndex(chosen == sizes.end() ? -1 : int(chosen - sizes.begin()));
    }
    const auto& rectangles = model_.rectangles();
    const bool custom = model_.selection() == GestureRegion::custom;
    for (const auto preset : enumAllCases<RegionQuickPreset>()) {
        QAbstractButton* button = directions_[size_t(preset)];
        const bool selected = custom && std::find(rectangles.begin(), rectangles.end(),
                                                  glidra::rect(preset, percent)) != rectangles.end();
        const QSignalBlocker blocker(button);
        button->setChecked(selected);
        const QString label = tr("%1 %2%").arg(title(preset)).arg(percent);
        button->setToolTip(label);
        button->setAccessibleName(label);
    }
}

}  // namespace glidra
