#include "views/actions/GestureActionCategoryTabs.h"

#include "common/Localized.h"
#include "views/kit/Ground.h"
#include "views/kit/KitColour.h"
#include "views/kit/Symbols.h"
#include "views/kit/TextStyle.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QGridLayout>
#include <QPainter>

namespace glidra {

namespace {

constexpr int symbolWidth = 16;
constexpr int horizontalPadding = 6;
constexpr int gap = 6;
constexpr int tabMinimumHeight = 28;
constexpr double cornerRadius = 6;

QString tabSymbol(std::optional<GestureActionCategory> category) {
    if (!category) return QStringLiteral("star");
    switch (*category) {
        case GestureActionCategory::mouse:
            return QStringLiteral("computermouse");
        case GestureActionCategory::everyday:
            return QStringLiteral("slider.horizontal.3");
        case GestureActionCategory::screenshots:
            return QStringLiteral("camera.viewfinder");
        case GestureActionCategory::applications:
            return QStringLiteral("app");
        case GestureActionCategory::music:
            return QStringLiteral("music.note");
        case GestureActionCategory::video:
            return QStringLiteral("play.rectangle");
        case GestureActionCategory::browsing:
            return QStringLiteral("safari");
        case GestureActionCategory::editing:
            return QStringLiteral("doc.text");
        case GestureActionCategory::custom:
            return QStringLiteral("keyboard");
    }
    return {};
}

// One tab: its symbol in the accent colour and its title in up to two lines,
// on a light fill while selected (checked).
class CategoryTab final : public QAbstractButton {
public:
    explicit CategoryTab(std::optional<GestureActionCategory> category, QWidget* parent = nullptr)
        : QAbstractButton(parent), symbol_(tabSymbol(category)) {
        setObjectName(GestureActionCategoryTabs::tabName(category));
        setText(GestureActionCategoryTabs::tabTitle(category));
        setAccessibleName(text());
        // One of the tabs is chosen at a time: a radio group to a screen
        // reader, and the arrow keys move the choice.
        setCheckable(true);
        setAutoExclusive(true);
        setFocusPolicy(Qt::StrongFocus);
        setCursor(Qt::PointingHandCursor);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
        kit::setTextStyle(this, kit::TextStyle::callout);
    }

    QSize sizeHint() const override {
        const QFontMetrics metrics(titleFont());
        const int advance = metrics.horizontalAdvance(text()) + 2;
        return {2 * horizontalPadding + symbolWidth + gap + advance, std::max(tabMinimumHeight, metrics.height() + 8)};
    }
    QSize minimumSizeHint() const override { return {2 * horizontalPadding + symbolWidth + gap, tabMinimumHeight}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        const QRect bounds =
            QFontMetrics(titleFont())
                .boundingRect(QRect(0, 0, textWidth(width), 10000), Qt::TextWordWrap | Qt::TextWrapAnywhere, text());
        return std::max(tabMinimumHeight, std::min(bounds.height(), 2 * fontMetrics().lineSpacing()) + 8);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(rect());
        if (isChecked()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kit::faded(kit::colour(kit::KitColour::secondary, palette()), 0.12f));
            painter.drawRoundedRect(box, cornerRadius, cornerRadius);
        }
        if (hasFocus()) {
            painter.setPen(QPen(kit::faded(kit::colour(kit::KitColour::accent, palette()), 0.6f), 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(box.adjusted(0.75, 0.75, -0.75, -0.75), cornerRadius, cornerRadius);
        }
        const QFont font = titleFont();
        const QFontMetrics metrics(font);
        const double symbolSide = std::min<double>(symbolWidth, metrics.height());
        const QRectF symbol(horizontalPadding, box.center().y() - symbolSide / 2, symbolWidth, symbolSide);
        const QColor tint = isChecked() ? kit::faded(kit::colour(kit::KitColour::secondary, palette()), 0.12f)
                                        : QColor(Qt::transparent);
        kit::paintSymbol(
            painter, symbol, symbol_,
            kit::colourOnGrounds(kit::KitColour::accent, palette(), {kit::over(tint, kit::groundOf(this))}));
        painter.setFont(font);
        painter.setPen(kit::colour(kit::KitColour::primary, palette()));
        const QRectF title(symbol.right() + gap, 0, textWidth(width()), box.height());
        painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextWrapAnywhere, text());
    }

    void checkStateSet() override { update(); }

private:
    int textWidth(int width) const { return std::max(1, width - 2 * horizontalPadding - symbolWidth - gap); }
    QFont titleFont() const {
        return kit::font(kit::TextStyle::callout, isChecked() ? QFont::DemiBold : QFont::Normal,
                         QApplication::font(this));
    }

    QString symbol_;
};

// The tabs stand in a named group.
QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("glidra::GestureActionCategoryTabs") && object && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    }
    return nullptr;
}

}  // namespace

GestureActionCategoryTabs::GestureActionCategoryTabs(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("categoryTabs"));
    setAccessibleName(tr("操作分类"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(4);
    grid->setHorizontalSpacing(8);
    std::vector<std::optional<GestureActionCategory>> categories{std::nullopt};
    for (const auto category : enumAllCases<GestureActionCategory>()) categories.emplace_back(category);
    for (std::size_t i = 0; i < categories.size(); ++i) {
        auto* tab = new CategoryTab(categories[i]);
        grid->addWidget(tab, int(i / 2), int(i % 2));
        tabs_.emplace_back(categories[i], tab);
        const auto category = categories[i];
        connect(tab, &QAbstractButton::clicked, this, [this, category] {
            selection_ = category;
            refresh();
            Q_EMIT selected(category);
        });
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    refresh();
}

QString GestureActionCategoryTabs::tabName(std::optional<GestureActionCategory> category) {
    return QStringLiteral("categoryTab:") + (category ? enumRaw(*category) : QStringLiteral("common"));
}

QString GestureActionCategoryTabs::tabTitle(std::optional<GestureActionCategory> category) {
    return category ? title(*category) : localized(GLIDRA_TEXT("常用动作"));
}

void GestureActionCategoryTabs::setSelection(std::optional<GestureActionCategory> selection) {
    selection_ = selection;
    refresh();
}

void GestureActionCategoryTabs::setSearching(bool searching) {
    searching_ = searching;
    refresh();
}

void GestureActionCategoryTabs::refresh() {
    // An exclusive group keeps one tab checked; while searching none is.
    for (auto& [category, tab] : tabs_) tab->setAutoExclusive(false);
    for (auto& [category, tab] : tabs_) {
        tab->setChecked(!searching_ && selection_ == category);
        // The title's weight changes with the selection.
        tab->updateGeometry();
    }
    for (auto& [category, tab] : tabs_) tab->setAutoExclusive(true);
}

}  // namespace glidra
