#pragma once

// Drives the application chooser a view opened, as the user would.

#include "views/actions/ApplicationChooser.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QTest>

namespace glidra::test {

// The chooser open over `window`; null when none is.
inline ApplicationChooser* openChooser(QWidget* window) {
    for (auto* chooser : window->findChildren<ApplicationChooser*>()) {
        if (chooser->isVisible()) return chooser;
    }
    return nullptr;
}

inline void pressInChooser(QWidget* window, const char* button) {
    ApplicationChooser* chooser = openChooser(window);
    ASSERT_NE(chooser, nullptr) << "no application chooser is open";
    auto* pressed = chooser->findChild<QPushButton*>(QLatin1String(button));
    ASSERT_NE(pressed, nullptr) << button;
    QTest::mouseClick(pressed, Qt::LeftButton);
    // A closed chooser is deleted later.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Takes the file panel's (scripted) answer, for an entry outside the list.
inline void chooseFromFile(QWidget* window) { pressInChooser(window, "chooseApplicationFile"); }

inline void cancelChooser(QWidget* window) { pressInChooser(window, "cancel"); }

// Selects the listed application of that name and presses "选择".
inline void chooseListed(QWidget* window, const QString& name) {
    ApplicationChooser* chooser = openChooser(window);
    ASSERT_NE(chooser, nullptr) << "no application chooser is open";
    auto* list = chooser->findChild<QAbstractItemView*>(QStringLiteral("applicationList"));
    const QModelIndexList found =
        list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << name.toStdString() << " is not listed";
    list->setCurrentIndex(found.front());
    pressInChooser(window, "choose");
}

}  // namespace glidra::test
