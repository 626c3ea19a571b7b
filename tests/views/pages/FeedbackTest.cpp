#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "views/kit/SegmentedControl.h"
#include "views/pages/FeatureRequestButton.h"
#include "views/pages/FeatureRequestView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace glidra {
namespace {

// Splits an encoded query as a mail application does: "&" and "=" only,
// then every escape; a "+" stays a "+" only when it was escaped.
std::map<QString, QString> mailFields(const QUrl& url) {
    std::map<QString, QString> fields;
    for (const QByteArray& pair : url.query(QUrl::FullyEncoded).toLatin1().split('&')) {
        const auto equals = pair.indexOf('=');
        QByteArray value = pair.mid(equals + 1);
        value.replace('+', ' ');
        fields[QString::fromLatin1(pair.left(equals))] = QUrl::fromPercentEncoding(value);
    }
    return fields;
}

TEST(FeedbackTest, TheMailCarriesExactlyTheSubjectAndBody) {
    BundleInfo bundle = test::sampleBundle();
    bundle.shortVersion = QStringLiteral("1.0");
    bundle.version = QStringLiteral("7");
    const auto url = FeatureRequestView::mailURL(bundle.supportAddress, FeedbackCategory::suggestion,
                                                 QStringLiteral("  a+b&c=d#e\n"), bundle);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(url->path(), QStringLiteral("support@glidra.example"));
    EXPECT_FALSE(url->hasFragment());
    const auto fields = mailFields(*url);
    EXPECT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields.at(QStringLiteral("subject")), QStringLiteral("Glidra 功能请求"));
    EXPECT_EQ(fields.at(QStringLiteral("body")), QStringLiteral("a+b&c=d#e\n\n——\nGlidra 1.0（7）"));
    // Subject first.
    EXPECT_TRUE(url->query(QUrl::FullyEncoded).startsWith(QStringLiteral("subject=")));

    // Inner line breaks stay; a missing version reads 1.0, a missing build
    // leaves the parentheses empty.
    bundle.shortVersion.reset();
    bundle.version.reset();
    const auto plain = FeatureRequestView::mailURL(bundle.supportAddress, FeedbackCategory::problem,
                                                   QStringLiteral("\n abc\n def \n"), bundle);
    ASSERT_TRUE(plain);
    EXPECT_EQ(mailFields(*plain).at(QStringLiteral("subject")), QStringLiteral("Glidra 问题反馈"));
    EXPECT_EQ(mailFields(*plain).at(QStringLiteral("body")), QStringLiteral("abc\n def\n\n——\nGlidra 1.0（）"));

    EXPECT_FALSE(FeatureRequestView::mailURL(bundle.supportAddress, FeedbackCategory::problem, QStringLiteral(" \n\t "),
                                             bundle));
}

class FeedbackSheetTest : public ::testing::Test {
protected:
    test::UiHarness ui;
    QWidget window;
    FeatureRequestButton* button = new FeatureRequestButton(ui.context);

    FeedbackSheetTest() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(button);
        window.resize(400, 300);
        window.show();
    }

    FeatureRequestView* openSheet() {
        QTest::mouseClick(button, Qt::LeftButton);
        auto* sheet = window.findChild<FeatureRequestView*>(QStringLiteral("featureRequest"));
        EXPECT_NE(sheet, nullptr);
        return sheet;
    }
    static QPlainTextEdit* editor(FeatureRequestView* sheet) {
        return sheet->findChild<QPlainTextEdit*>(QStringLiteral("description"));
    }
    static QPushButton* send(FeatureRequestView* sheet) {
        return sheet->findChild<QPushButton*>(QStringLiteral("sendMail"));
    }
};

TEST_F(FeedbackSheetTest, GesturesRestOnlyWhileTheSheetLives) {
    EXPECT_FALSE(ui.controller.isRequestingFeature());
    QPointer<FeatureRequestView> sheet = openSheet();
    EXPECT_TRUE(ui.controller.isRequestingFeature());
    EXPECT_TRUE(sheet->isModal() || sheet->windowModality() == Qt::WindowModal);
    EXPECT_EQ(sheet->parentWidget(), &window);
    EXPECT_EQ(sheet->focusWidget(), editor(sheet));

    // Escape cancels.
    QTest::keyClick(sheet, Qt::Key_Escape);
    EXPECT_FALSE(ui.controller.isRequestingFeature());
    test::UiHarness::flushDeletes();
    EXPECT_TRUE(sheet.isNull());

    // Destroyed with its window while open: the flag comes down too.
    sheet = openSheet();
    EXPECT_TRUE(ui.controller.isRequestingFeature());
    delete sheet.data();
    EXPECT_FALSE(ui.controller.isRequestingFeature());
}

TEST_F(FeedbackSheetTest, SendsTheMailAndKeepsTheTextAndCategoryForNextTime) {
    QPointer<FeatureRequestView> sheet = openSheet();
    EXPECT_FALSE(send(sheet)->isEnabled());
    QTest::keyClicks(editor(sheet), QStringLiteral("  "));
    QTest::keyClick(editor(sheet), Qt::Key_Return);
    QTest::keyClicks(editor(sheet), QStringLiteral(" "));
    EXPECT_FALSE(send(sheet)->isEnabled()) << "only white space";

    auto* category = sheet->findChild<kit::SegmentedControl*>(QStringLiteral("category"));
    QTest::mouseClick(category, Qt::LeftButton, {}, category->segmentRect(1).center());
    EXPECT_EQ(sheet->findChild<QLabel*>(QStringLiteral("prompt"))->text(), QStringLiteral("希望 Glidra 增加什么？"));
    EXPECT_EQ(editor(sheet)->placeholderText(), QStringLiteral("描述你想要的功能和使用场景…"));
    editor(sheet)->setPlainText(QStringLiteral("多一个手势"));
    EXPECT_TRUE(send(sheet)->isEnabled());
    test::saveForReview(sheet->grab().toImage(), QStringLiteral("feedback-sheet"));

    // Cancelled and reopened: the text and the category are still there.
    QTest::mouseClick(sheet->findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
    test::UiHarness::flushDeletes();
    sheet = openSheet();
    EXPECT_EQ(editor(sheet)->toPlainText(), QStringLiteral("多一个手势"));
    EXPECT_EQ(sheet->findChild<kit::SegmentedControl*>(QStringLiteral("category"))->currentIndex(), 1);

    // A refused open keeps the sheet with the failure; a retry that succeeds
    // closes it, and the text stays for next time.
    ui.workspace.setRefusesToOpen(true);
    QTest::mouseClick(send(sheet), Qt::LeftButton);
    ASSERT_FALSE(sheet.isNull());
    EXPECT_EQ(sheet->errorMessage(), QStringLiteral("未能打开邮件应用，请检查默认邮件设置。"));
    EXPECT_TRUE(sheet->findChild<QLabel*>(QStringLiteral("errorMessage"))->isVisible());
    EXPECT_TRUE(ui.controller.isRequestingFeature());
    test::saveForReview(sheet->grab().toImage(), QStringLiteral("feedback-sheet-failed"));
    ui.workspace.setRefusesToOpen(false);
    QTest::mouseClick(send(sheet), Qt::LeftButton);
    test::UiHarness::flushDeletes();
    EXPECT_TRUE(sheet.isNull());
    EXPECT_FALSE(ui.controller.isRequestingFeature());
    ASSERT_EQ(ui.workspace.openedUrls().size(), 2);
    EXPECT_EQ(mailFields(ui.workspace.openedUrls().back()).at(QStringLiteral("subject")),
              QStringLiteral("Glidra 功能请求"));
    EXPECT_EQ(button->description(), QStringLiteral("多一个手势"));
}

TEST(FeedbackTest, OnlyAConfiguredMailboxIsOffered) {
    const std::pair<const char*, bool> cases[] = {
        {"support@glidra.example", true},  {"help@example.org", true}, {"", false},
        {"support@glidra.invalid", false}, {"a@INVALID", false},       {"support", false},
        {"@example.org", false},           {"a@b@example.org", false}, {"support@", false},
    };
    for (const auto& [address, offered] : cases) {
        EXPECT_EQ(FeatureRequestView::hasSupportAddress(QString::fromUtf8(address)), offered) << address;
    }
}

TEST_F(FeedbackSheetTest, WithoutAMailboxTheReportIsCopiedAndNothingIsMailed) {
    ui.bundle.supportAddress = QStringLiteral("support@glidra.invalid");
    ui.bundle.shortVersion = QStringLiteral("1.2");
    ui.bundle.version = QStringLiteral("34");
    QPointer<FeatureRequestView> sheet = openSheet();
    EXPECT_EQ(send(sheet), nullptr);
    auto* copy = sheet->findChild<QPushButton*>(QStringLiteral("copyReport"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->text(), QStringLiteral("复制反馈内容"));
    auto* note = sheet->findChild<QLabel*>(QStringLiteral("mailNote"));
    EXPECT_FALSE(note->text().contains(QStringLiteral("invalid")));
    EXPECT_FALSE(note->text().contains(QStringLiteral("邮件应用")));
    EXPECT_EQ(sheet->findChild<QLabel*>(QStringLiteral("prompt"))->text(),
              QStringLiteral("使用中遇到问题？告诉我们。"));
    EXPECT_FALSE(copy->isEnabled());

    QApplication::clipboard()->clear();
    editor(sheet)->setPlainText(QStringLiteral("  三指轻点没有反应\n"));
    test::saveForReview(sheet->grab().toImage(), QStringLiteral("feedback-sheet-no-mailbox"));
    QTest::mouseClick(copy, Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("Glidra 问题反馈\n\n三指轻点没有反应\n\n——\nGlidra 1.2（34）"));
    EXPECT_TRUE(ui.workspace.openedUrls().isEmpty());
    // The sheet stays, saying what happened.
    ASSERT_FALSE(sheet.isNull());
    EXPECT_EQ(note->text(), QStringLiteral("已复制反馈内容，可粘贴到你选择的地方发送。"));
}

}  // namespace
}  // namespace glidra
