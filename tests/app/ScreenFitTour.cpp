// Every window of the program on the X display it is started on (run by
// ScreenFitTest under Xvfb and a window manager, at each scale): each opens
// within the screen's free area, and each of its buttons can be scrolled into
// view there, whole and at no less than its least size. Pictures of each
// window in light and dark are kept for review.

#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "support/WindowTour.h"
#include "views/kit/TextStyle.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QWindow>

namespace glidra {
namespace {

// What its layout gives a widget at least: its minimum size, else its least
// size hint where its policy lets it shrink, else its size hint.
QSize leastSize(const QWidget& widget) {
    const QSizePolicy policy = widget.sizePolicy();
    const auto least = [](QSizePolicy::Policy along, int hint, int minimumHint, int minimum) {
        if (minimum > 0) return minimum;
        if (along == QSizePolicy::Ignored) return 0;
        return along & QSizePolicy::ShrinkFlag ? minimumHint : std::max(hint, minimumHint);
    };
    const QSize hint = widget.sizeHint();
    const QSize minimumHint = widget.minimumSizeHint();
    QSize size(least(policy.horizontalPolicy(), hint.width(), minimumHint.width(), widget.minimumWidth()),
               least(policy.verticalPolicy(), hint.height(), minimumHint.height(), widget.minimumHeight()));
    if (widget.hasHeightForWidth() && widget.minimumHeight() == 0) {
        size.setHeight(std::max(minimumHint.height(), widget.heightForWidth(widget.width())));
    }
    return size.boundedTo(widget.maximumSize());
}

// Scrolls every scroll area around `widget` to it, innermost first.
void scrollTo(QWidget& widget) {
    for (QWidget* parent = widget.parentWidget(); parent && !parent->isWindow(); parent = parent->parentWidget()) {
        if (auto* scroll = qobject_cast<QScrollArea*>(parent)) scroll->ensureWidgetVisible(&widget, 0, 0);
    }
}

// Whether no parent up to the window cuts anything off `widget`.
bool shownWhole(const QWidget& widget) {
    for (const QWidget* parent = widget.parentWidget(); parent; parent = parent->parentWidget()) {
        if (!parent->rect().contains(QRect(widget.mapTo(parent, QPoint(0, 0)), widget.size()))) return false;
        if (parent->isWindow()) break;
    }
    return true;
}

void expectFits(const QString& name, QWidget& window, const QString& pictureName) {
    SCOPED_TRACE(name.toStdString());
    // The window manager places and frames the window once it is mapped.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The window's own frame, as X has it now: the widget keeps the one it
    // measured first, which can be the manager's frame before it was sized.
    const auto frame = [&window] { return window.windowHandle()->frameGeometry(); };
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame().contains(window.geometry()); }))
        << "the frame " << frame() << " around " << window.geometry();
    QTest::qWait(100);
    // As it opens, before anything is scrolled.
    test::saveForReview(window.grab().toImage(), pictureName);
    const QRect free = window.screen()->availableGeometry();
    EXPECT_TRUE(free.contains(frame())) << "the window " << frame() << " on the free area " << free;
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&window) || button->window() != &window) continue;
        scrollTo(*button);
        const QString what = button->objectName() + QStringLiteral(" “") + button->text() + QStringLiteral("”");
        const QRect global(button->mapToGlobal(QPoint(0, 0)), button->size());
        EXPECT_TRUE(free.contains(global)) << what.toStdString() << " at " << global << " on " << free;
        EXPECT_TRUE(shownWhole(*button)) << what.toStdString() << " is cut off";
        const QSize least = leastSize(*button);
        EXPECT_TRUE(button->width() >= least.width() && button->height() >= least.height())
            << what.toStdString() << " squashed to " << button->size() << " below " << least;
    }
}

TEST(ScreenFitTour, EveryWindowAndEachOfItsButtonsFitsTheScreenInLightAndDark) {
    const QString scale = QString::number(QGuiApplication::primaryScreen()->devicePixelRatio() * 100) + u'%';
    for (const auto& [look, palette] :
         {std::pair{"light", test::fusionPalette()}, std::pair{"dark", test::qt6ctDarkerPalette()}}) {
        SCOPED_TRACE(look);
        const test::ScopedPalette theme(palette);
        test::UiHarness ui;
        test::WindowTour(ui).visit([&](const QString& name, QWidget& window) {
            expectFits(name, window, QStringLiteral("screen-%1-%2-%3").arg(scale, QLatin1String(look), name));
        });
    }
}

}  // namespace
}  // namespace glidra

int main(int argc, char** argv) {
    // The real X platform: the offscreen one knows no screen but its own.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    glidra::kit::useApplicationFont();
    return glidra::test::runAllTests(argc, argv);
}
