#include "views/kit/Ground.h"

#include "views/kit/InheritedPalette.h"
#include "views/kit/RoundedBox.h"

#include <QEvent>
#include <QWidget>

#include <vector>

namespace glidra::kit {

namespace {

// Keeps the placeholder role of one field in step with the theme.
class PlaceholderTint final : public QObject {
public:
    static constexpr const char* name = "glidraPlaceholderTint";

    explicit PlaceholderTint(QWidget* field) : QObject(field), field_(field) {
        setObjectName(QLatin1String(name));
        field->installEventFilter(this);
        apply();
    }

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::PaletteChange:
            case QEvent::ParentChange:
            case QEvent::Show:
                apply();
                break;
            default:
                break;
        }
        return false;
    }

private:
    void apply() {
        if (applying_) return;
        applying_ = true;
        const QPalette inherited = inheritedPalette(field_);
        QPalette own = field_->palette();
        const QWidget* parent = field_->parentWidget();
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            // The field paints its base, which may let its parent show.
            const QColor behind = parent ? groundOf(parent) : inherited.color(group, QPalette::Window);
            const QColor ground = over(own.color(group, QPalette::Base), behind);
            // The field's text in the secondary style.
            QPalette source = inherited;
            source.setColor(group, QPalette::WindowText, inherited.color(group, QPalette::Text));
            own.setColor(group, QPalette::PlaceholderText,
                         colourOnGrounds(KitColour::secondary, source, {ground}, group));
        }
        if (own != field_->palette()) field_->setPalette(own);
        applying_ = false;
    }

    QWidget* field_;
    bool applying_ = false;
};

}  // namespace

QColor groundOf(const QWidget* widget) {
    std::vector<const QWidget*> chain;
    for (const QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) chain.push_back(w);
    const QWidget* window = chain.back();
    QColor ground = over(currentPalette(window).color(QPalette::Window), Qt::white);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const QWidget* w = *it;
        if (const auto* box = qobject_cast<const RoundedBox*>(w)) {
            ground = over(faded(colour(box->fill(), currentPalette(w)), float(box->fillOpacity())), ground);
        } else if (w->autoFillBackground()) {
            ground = over(currentPalette(w).color(w->backgroundRole()), ground);
        }
    }
    return ground;
}

QColor colourOn(KitColour named, const QWidget* widget, const QPalette& palette, QPalette::ColorGroup group) {
    if (enumRow(named).leastContrast <= 0) return colour(named, palette, group);
    return colourOnGrounds(named, palette, {groundOf(widget)}, group);
}

QColor colourOn(KitColour named, const QWidget* widget, QPalette::ColorGroup group) {
    return colourOn(named, widget, widget->palette(), group);
}

void keepPlaceholderLegible(QWidget* field) {
    // By name: without a meta-object of its own, findChild<PlaceholderTint*>
    // would take any child for one.
    if (field->findChild<QObject*>(QLatin1String(PlaceholderTint::name), Qt::FindDirectChildrenOnly)) return;
    new PlaceholderTint(field);
}

}  // namespace glidra::kit
