#include "executors/TranslationActionExecutor.h"

#include "platform/sim/SimTextSelectionAccess.h"
#include "platform/sim/SimTranslationPresenter.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using Node = sim::SimTextSelectionAccess::Node;
using Kind = HUDNotice::Kind;

HUDNotice translationNotice(const char* text, Kind kind) {
    return HUDNotice{QString::fromUtf8(text), QStringLiteral("translate"), kind};
}

struct TranslationFixture : ::testing::Test {
    sim::SimTextSelectionAccess elements;
    sim::SimTranslationPresenter presenter;
    TranslationActionExecutor executor{elements, presenter};

    // A chain of elements 1 (focused) -> 2 -> ... -> `length`.
    void chain(int length) {
        for (int i = 1; i <= length; ++i) {
            elements.setNode(
                i, Node{false, std::nullopt, i < length ? std::optional<std::uint64_t>(i + 1) : std::nullopt});
        }
        elements.setFocused(1);
    }
    void select(std::uint64_t element, const QString& text, bool secure = false) {
        Node node{secure, text, element + 1};
        elements.setNode(element, node);
    }
};

TEST_F(TranslationFixture, WithoutATranslatorNothingIsRead) {
    presenter.setAvailable(false);
    chain(1);
    select(1, QStringLiteral("text"));
    EXPECT_EQ(executor.execute(), translationNotice("Linux 上暂无系统翻译服务", Kind::information));
    EXPECT_EQ(elements.messagingTimeout(), std::nullopt);
    EXPECT_TRUE(presenter.presented().isEmpty());
}

TEST_F(TranslationFixture, FindsTheSelectionWithinFiveElements) {
    struct Case {
        int holder;
        bool found;
    };
    for (const Case c : {Case{1, true}, Case{3, true}, Case{5, true}, Case{6, false}}) {
        chain(8);
        select(c.holder, QStringLiteral("  selected\n"));
        EXPECT_EQ(executor.selectedText(), c.found ? std::optional(QStringLiteral("selected")) : std::nullopt)
            << c.holder;
    }
    EXPECT_EQ(elements.messagingTimeout(), 0.2);
}

TEST_F(TranslationFixture, ReadsNothingInAPasswordFieldOrOfBlanks) {
    chain(4);
    select(1, QStringLiteral("secret"), /*secure=*/true);
    select(2, QStringLiteral("visible"));
    EXPECT_EQ(executor.selectedText(), std::nullopt);

    chain(4);
    select(1, QStringLiteral(" \n\t "));
    EXPECT_EQ(executor.selectedText(), std::nullopt);
    EXPECT_EQ(executor.execute(),
              translationNotice("未读到选中文字，请在支持的应用中选中文本后重试", Kind::information));

    elements.setFocused(std::nullopt);
    EXPECT_EQ(executor.selectedText(), std::nullopt);
}

TEST_F(TranslationFixture, ASecondTranslationReplacesThePanel) {
    chain(2);
    select(1, QStringLiteral("first"));
    EXPECT_EQ(executor.execute(), translationNotice("翻译选中文字", Kind::success));
    select(1, QStringLiteral("second"));
    executor.execute();
    EXPECT_EQ(presenter.openPanel(), QStringLiteral("second"));
    EXPECT_EQ(presenter.closedPanels(), 1);
}

}  // namespace
}  // namespace glidra
