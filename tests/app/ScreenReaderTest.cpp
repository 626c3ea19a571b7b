// Every window as a screen reader meets it, through the accessible
// interfaces that Qt hands to AT-SPI: windows by their titles, each stop of
// the Tab order by a name, each combo box by its label, and controls that
// look alike by what tells them apart.

#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/WindowTour.h"
#include "views/kit/Switch.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QSet>

namespace glidra {
namespace {

QString nameOf(QWidget* widget) {
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
    return spoken ? spoken->text(QAccessible::Name) : QString();
}

// The names of the labels that name `widget` (its labelled-by relation).
QStringList labelsOf(QWidget* widget) {
    QStringList names;
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
    if (!spoken) return names;
    for (const auto& [label, relation] : spoken->relations(QAccessible::Label)) {
        if (label && label->isValid()) names << label->text(QAccessible::Name);
    }
    return names;
}

QString described(const QWidget* widget) {
    return QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') + widget->objectName();
}

class ScreenReaderTest : public ::testing::Test {
protected:
    test::UiHarness ui;
};

TEST_F(ScreenReaderTest, EveryWindowHasATitleAndEveryTabStopAName) {
    test::WindowTour(ui).visit([](const QString& name, QWidget& window) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(window.windowTitle().isEmpty());
        // Only the settings window is the application's own.
        if (window.objectName() != QLatin1String("controls")) {
            EXPECT_NE(window.windowTitle(), QStringLiteral("Glidra"));
        }
        EXPECT_EQ(nameOf(&window), window.windowTitle());

        // Round the Tab order once, as the keyboard goes.
        QSet<QWidget*> seen;
        for (QWidget* stop = window.nextInFocusChain(); stop != &window && !seen.contains(stop);
             stop = stop->nextInFocusChain()) {
            seen.insert(stop);
            if (stop->window() != &window || !stop->isVisibleTo(&window) || !stop->isEnabled() ||
                !(stop->focusPolicy() & Qt::TabFocus) || stop->focusProxy()) {
                continue;
            }
            const bool named = qobject_cast<QComboBox*>(stop) ? !labelsOf(stop).isEmpty() : !nameOf(stop).isEmpty();
            EXPECT_TRUE(named) << described(stop).toStdString() << " is an unnamed stop";
        }
    });
}

// Qt on Linux names a combo box by its value; what it is for comes from the
// label that names it.
TEST_F(ScreenReaderTest, EveryComboBoxIsNamedByAVisibleLabel) {
    int combos = 0;
    test::WindowTour(ui).visit([&combos](const QString& name, QWidget& window) {
        SCOPED_TRACE(name.toStdString());
        for (QComboBox* combo : window.findChildren<QComboBox*>()) {
            if (!combo->isVisibleTo(&window)) continue;
            ++combos;
            const QStringList labels = labelsOf(combo);
            ASSERT_EQ(labels.size(), 1) << described(combo).toStdString();
            EXPECT_FALSE(labels.front().isEmpty()) << described(combo).toStdString();
            EXPECT_NE(labels.front(), combo->currentText()) << described(combo).toStdString();
        }
    });
    EXPECT_GT(combos, 0);
}

// Two rules of one gesture: their switches say which action each starts.
TEST_F(ScreenReaderTest, TheSwitchesOfRulesOnOneGestureSayWhichActionTheyStart) {
    test::WindowTour(ui).visit([](const QString& name, QWidget& window) {
        if (name != QLatin1String("settings-gestures")) return;
        QStringList names;
        for (auto* toggle : window.findChildren<kit::Switch*>(QStringLiteral("enabled"))) names << nameOf(toggle);
        ASSERT_EQ(names.size(), 3);
        EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 3) << names.join(QStringLiteral(" | "));
        EXPECT_TRUE(names.contains(QStringLiteral("启用 三指向左滑动：复制"))) << names.join(QStringLiteral(" | "));
    });
}

}  // namespace
}  // namespace glidra
