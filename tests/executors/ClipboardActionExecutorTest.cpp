#include "executors/BrowserPageInfoReader.h"
#include "executors/ClipboardActionExecutor.h"

#include "platform/sim/SimBrowserPageSource.h"
#include "platform/sim/SimFrontmostApplication.h"
#include "platform/sim/SimPasteboard.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using test::resultOf;
using test::SimTime;
using Kind = HUDNotice::Kind;
using Outcome = BrowserPageReply::Outcome;

const QString chromium = QStringLiteral("chromium.desktop");
const QString firefox = QStringLiteral("firefox-esr.desktop");

HUDNotice clipboardNotice(const char* text, Kind kind) {
    return HUDNotice{QString::fromUtf8(text), QStringLiteral("doc.on.clipboard"), kind};
}

struct ClipboardFixture : ::testing::Test {
    sim::SimFrontmostApplication frontmost;
    sim::SimPasteboard pasteboard;
    sim::SimBrowserPageSource pages;
    ClipboardActionExecutor executor{std::make_unique<BrowserPageInfoReader>(pages),
                                     ClipboardActionExecutor::platform(frontmost, pasteboard)};

    ClipboardFixture() { frontmost.setBundleIdentifier(chromium); }

    std::optional<HUDNotice> run(GestureAction action) {
        auto notice = resultOf(executor.execute(action));
        SimTime::drain();
        EXPECT_TRUE(notice->has_value()) << "the executor is still waiting";
        return notice->value_or(std::nullopt);
    }
};

TEST_F(ClipboardFixture, PlainTextRewritesTheClipboardsText) {
    pasteboard.copyText(QStringLiteral("formatted"));
    const auto before = pasteboard.changeCount();
    EXPECT_EQ(run(GestureAction::clipboardPlainText), clipboardNotice("已去掉文字格式", Kind::success));
    EXPECT_EQ(pasteboard.text(), QStringLiteral("formatted"));
    EXPECT_GT(pasteboard.changeCount(), before);
}

TEST_F(ClipboardFixture, PlainTextFailures) {
    const auto noText = clipboardNotice("剪贴板中没有文字", Kind::error);
    EXPECT_EQ(run(GestureAction::clipboardPlainText), noText);
    pasteboard.copyText(QString());
    EXPECT_EQ(run(GestureAction::clipboardPlainText), noText);

    pasteboard.copyImage();
    const auto count = pasteboard.changeCount();
    EXPECT_EQ(run(GestureAction::clipboardPlainText), noText);
    EXPECT_TRUE(pasteboard.hasImage());
    EXPECT_EQ(pasteboard.changeCount(), count) << "an image stays untouched";

    pasteboard.copyText(QStringLiteral("text"));
    pasteboard.setRefusesWrites(true);
    EXPECT_EQ(run(GestureAction::clipboardPlainText), clipboardNotice("无法更新剪贴板", Kind::error));
}

TEST_F(ClipboardFixture, CopiesTheTrimmedAddressAndTheTitleOnOneLine) {
    struct Case {
        GestureAction action;
        QString title;
        QString address;
        QString copied;
        const char* notice;
    };
    const QString url = QStringLiteral("https://example.com/a?q=\"x\"\\y");
    const Case cases[] = {
        {GestureAction::copyPageTitleAndLink, QStringLiteral("  Two\n \t  words  "), url,
         QStringLiteral("Two words\n") + url, "已复制标题和链接"},
        {GestureAction::copyPageTitleAndLink, QString(), QStringLiteral(" \t") + url + QStringLiteral("\n "), url,
         "已复制标题和链接"},
        {GestureAction::copyPageTitleAndLink, QStringLiteral(" \u3000\n"), url, url, "已复制标题和链接"},
        {GestureAction::copyPageLink, QStringLiteral("Title"), QStringLiteral("  ") + url, url, "已复制网页链接"},
    };
    for (const Case& c : cases) {
        pages.setPage(c.title, c.address);
        EXPECT_EQ(run(c.action), clipboardNotice(c.notice, Kind::success)) << c.copied.toStdString();
        EXPECT_EQ(pasteboard.text(), c.copied);
    }
    EXPECT_EQ(pages.reads(), QStringList(4, chromium));
}

TEST_F(ClipboardFixture, RefusesAddressesThatAreNotOneLine) {
    const QString breaks[] = {QStringLiteral("\n"), QStringLiteral("\r"), QStringLiteral("\u2028"),
                              QStringLiteral("\u0085")};
    for (const QString& lineBreak : breaks) {
        pasteboard.copyText(QStringLiteral("kept"));
        pages.setPage(QStringLiteral("T"), QStringLiteral("https://a.example") + lineBreak + QStringLiteral("/b"));
        EXPECT_EQ(run(GestureAction::copyPageLink), clipboardNotice("当前页面没有可复制的网址", Kind::information));
        EXPECT_EQ(pasteboard.text(), QStringLiteral("kept"));
    }
}

TEST_F(ClipboardFixture, MapsEveryReadFailureToItsNotice) {
    struct Case {
        BrowserPageReply reply;
        HUDNotice notice;
    };
    const auto info = Kind::information;
    const Case cases[] = {
        {{Outcome::noPage, {}, {}}, clipboardNotice("当前没有可复制的网页", info)},
        {{Outcome::notFound, {}, {}}, clipboardNotice("当前没有可复制的网页", info)},
        {{Outcome::page, QStringLiteral("T"), QStringLiteral(" \n\t ")}, clipboardNotice("当前没有可复制的网页", info)},
        {{Outcome::changed, {}, {}}, clipboardNotice("当前页面已变化，已取消复制", info)},
        {{Outcome::notAuthorized, {}, {}},
         clipboardNotice("请开启桌面辅助技术，或以 --force-renderer-accessibility 启动 Chrome，让 Glidra 读取网页",
                         Kind::error)},
        {{Outcome::failed, {}, {}}, clipboardNotice("无法读取当前网页，请重试", Kind::error)},
        {{Outcome::page, std::nullopt, QStringLiteral("https://a.example")},
         clipboardNotice("无法读取当前网页，请重试", Kind::error)},
    };
    for (const Case& c : cases) {
        pages.setReply(c.reply);
        EXPECT_EQ(run(GestureAction::copyPageTitleAndLink), c.notice) << c.notice.text.toStdString();
        EXPECT_FALSE(executor.isReadingPage());
    }
    EXPECT_TRUE(pasteboard.writtenTexts().isEmpty());
}

TEST_F(ClipboardFixture, OnlySupportedBrowsersAreRead) {
    const auto notice = clipboardNotice("请先切到 Chrome、Chromium 或 Firefox 网页", Kind::information);
    frontmost.setBundleIdentifier(QStringLiteral("org.gnome.TextEditor.desktop"));
    EXPECT_EQ(run(GestureAction::copyPageLink), notice);
    frontmost.setBundleIdentifier(QStringLiteral("Chromium.desktop"));
    EXPECT_EQ(run(GestureAction::copyPageLink), notice) << "identifiers compare exactly";
    frontmost.setBundleIdentifier(std::nullopt);
    EXPECT_EQ(run(GestureAction::copyPageTitleAndLink), notice);
    EXPECT_TRUE(pages.reads().isEmpty());

    frontmost.setBundleIdentifier(firefox);
    pages.setPage(QStringLiteral("Fox"), QStringLiteral("https://mozilla.org"));
    EXPECT_EQ(run(GestureAction::copyPageLink), clipboardNotice("已复制网页链接", Kind::success));
}

TEST_F(ClipboardFixture, OtherActionsAreNotItsConcern) {
    EXPECT_EQ(run(GestureAction::scrubVideo), std::nullopt);
    EXPECT_EQ(run(GestureAction::screenshotWindowClipboard), std::nullopt);
}

TEST_F(ClipboardFixture, ASecondCopyDuringAReadIsAnsweredAtOnce) {
    pages.setHoldsReads(true);
    pages.setPage(QStringLiteral("T"), QStringLiteral("https://a.example"));
    auto first = resultOf(executor.execute(GestureAction::copyPageLink));
    SimTime::drain();
    EXPECT_TRUE(executor.isReadingPage());

    EXPECT_EQ(run(GestureAction::copyPageTitleAndLink), clipboardNotice("正在复制网页信息", Kind::information));
    EXPECT_EQ(pages.reads().size(), 1);
    // Stripping formatting is not held up by the read.
    pasteboard.copyText(QStringLiteral("x"));
    EXPECT_EQ(run(GestureAction::clipboardPlainText), clipboardNotice("已去掉文字格式", Kind::success));

    pages.releaseReads();
    SimTime::drain();
    ASSERT_TRUE(first->has_value());
    // The plain-text rewrite changed the clipboard during the read.
    EXPECT_EQ(**first, clipboardNotice("剪贴板已更新，已取消本次复制", Kind::information));
    EXPECT_FALSE(executor.isReadingPage());
}

TEST_F(ClipboardFixture, GivesUpWhenTheWorldChangedDuringTheRead) {
    struct Case {
        const char* name;
        std::function<void(ClipboardFixture&)> change;
        const char* notice;
    };
    const Case cases[] = {
        {"the user copied something", [](ClipboardFixture& f) { f.pasteboard.copyText(QStringLiteral("mine")); },
         "剪贴板已更新，已取消本次复制"},
        {"another application came to the front",
         [](ClipboardFixture& f) { f.frontmost.setBundleIdentifier(QStringLiteral("org.gnome.Nautilus.desktop")); },
         "前台应用已变化，已取消复制"},
        {"the other browser came to the front", [](ClipboardFixture& f) { f.frontmost.setBundleIdentifier(firefox); },
         "前台应用已变化，已取消复制"},
        {"no application is in front", [](ClipboardFixture& f) { f.frontmost.setBundleIdentifier(std::nullopt); },
         "前台应用已变化，已取消复制"},
    };
    for (const Case& c : cases) {
        frontmost.setBundleIdentifier(chromium);
        pasteboard.copyText(QStringLiteral("before"));
        pages.setHoldsReads(true);
        pages.setPage(QStringLiteral("T"), QStringLiteral("https://a.example"));
        auto notice = resultOf(executor.execute(GestureAction::copyPageTitleAndLink));
        SimTime::drain();
        c.change(*this);
        const auto text = pasteboard.text();
        pages.releaseReads();
        SimTime::drain();
        ASSERT_TRUE(notice->has_value()) << c.name;
        EXPECT_EQ(**notice, clipboardNotice(c.notice, Kind::information)) << c.name;
        EXPECT_EQ(pasteboard.text(), text) << c.name;
    }
}

TEST_F(ClipboardFixture, ACancelledTaskCopiesNothing) {
    pages.setHoldsReads(true);
    pages.setPage(QStringLiteral("T"), QStringLiteral("https://a.example"));
    CancellationSource cancellation;
    auto notice = resultOf(executor.execute(GestureAction::copyPageLink, cancellation.token()));
    SimTime::drain();
    cancellation.cancel();
    pages.releaseReads();
    SimTime::drain();
    EXPECT_EQ(**notice, clipboardNotice("前台应用已变化，已取消复制", Kind::information));
    EXPECT_TRUE(pasteboard.writtenTexts().isEmpty());
}

TEST_F(ClipboardFixture, AFailedWriteIsReported) {
    pages.setPage(QStringLiteral("T"), QStringLiteral("https://a.example"));
    pasteboard.setRefusesWrites(true);
    EXPECT_EQ(run(GestureAction::copyPageLink), clipboardNotice("无法更新剪贴板", Kind::error));
}

}  // namespace
}  // namespace glidra
