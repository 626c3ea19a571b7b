#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "views/kit/PlainButton.h"
#include "views/pages/BrowserVideoHelpView.h"
#include "views/pages/BrowserVideoSetupGuide.h"

#include <gtest/gtest.h>

#include <QLayout>
#include <QTest>

namespace glidra {
namespace {

TEST(BrowserVideoGuideTest, BothBrowsersInTurnThenTheSharedStepOnceAndTheLinksOpen) {
    test::UiHarness ui;
    BrowserVideoHelpView help(ui.workspace);
    help.resize(520, 900);
    help.show();
    auto* guide = help.findChild<BrowserVideoSetupGuide*>();
    ASSERT_NE(guide, nullptr);

    QStringList order;
    for (int i = 0; i < guide->layout()->count(); ++i) {
        if (auto* widget = guide->layout()->itemAt(i)->widget(); widget && !widget->objectName().isEmpty()) {
            order << widget->objectName();
        }
    }
    EXPECT_EQ(order, (QStringList{QStringLiteral("chromiumHeading"), QStringLiteral("chromiumSteps"),
                                  QStringLiteral("firefoxHeading"), QStringLiteral("firefoxSteps"),
                                  QStringLiteral("sharedStep")}));
    EXPECT_EQ(guide->findChildren<QWidget*>(QStringLiteral("sharedStep")).size(), 1);

    // Long texts wrap: the guide asks for the height of all its lines.
    EXPECT_GT(guide->heightForWidth(260), guide->heightForWidth(520));

    QTest::mouseClick(guide->findChild<kit::PlainButton*>(QStringLiteral("chromiumDocumentation")), Qt::LeftButton);
    QTest::mouseClick(guide->findChild<kit::PlainButton*>(QStringLiteral("firefoxDocumentation")), Qt::LeftButton);
    EXPECT_EQ(ui.workspace.openedUrls(), (QList<QUrl>{BrowserVideoSetupGuide::chromiumDocumentation(),
                                                      BrowserVideoSetupGuide::firefoxDocumentation()}));
}

}  // namespace
}  // namespace glidra
