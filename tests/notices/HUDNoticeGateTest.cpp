#include "notices/HUDNoticeGate.h"

#include <gtest/gtest.h>

#include <vector>

namespace glidra {
namespace {

using Kind = HUDNotice::Kind;

const HUDNotice info{QStringLiteral("已复制"), QStringLiteral("doc.on.doc"), Kind::information};
const HUDNotice failure{QStringLiteral("拖拽暂不可用"), QStringLiteral("exclamationmark.triangle"), Kind::error};
const HUDNotice done{QStringLiteral("已完成"), QStringLiteral("checkmark"), Kind::success};

// Offers each notice at its time and returns which ones were let through.
std::vector<bool> run(HUDNoticeGate& gate, const std::vector<std::pair<HUDNotice, double>>& offers) {
    std::vector<bool> admitted;
    for (const auto& [notice, now] : offers) admitted.push_back(gate.admit(notice, now));
    return admitted;
}

TEST(HUDNoticeGateTest, RepeatsAreDroppedWithinTheirWindow) {
    HUDNoticeGate gate;
    EXPECT_EQ(run(gate, {{info, 10.0}, {info, 11.99}, {info, 12.0}}), (std::vector<bool>{true, false, true}));

    HUDNoticeGate errors;
    EXPECT_EQ(run(errors, {{failure, 0.0}, {failure, 2.5}, {failure, 3.99}, {failure, 4.0}}),
              (std::vector<bool>{true, false, false, true}));
}

TEST(HUDNoticeGateTest, DroppedRepeatDoesNotExtendTheWindow) {
    HUDNoticeGate gate;
    std::vector<std::pair<HUDNotice, double>> offers;
    for (int i = 0; i <= 5; ++i) offers.push_back({info, 1.5 * i});  // 0, 1.5, 3.0, 4.5, 6.0, 7.5
    EXPECT_EQ(run(gate, offers), (std::vector<bool>{true, false, true, false, true, false}));
    EXPECT_EQ(gate.lastShown, 6.0);
}

TEST(HUDNoticeGateTest, AnyDifferenceIsNotARepeat) {
    HUDNotice otherSymbol = info;
    otherSymbol.symbol = QStringLiteral("info.circle");
    HUDNotice otherKind = info;
    otherKind.kind = Kind::error;
    HUDNotice otherText = info;
    otherText.text = QStringLiteral("已粘贴");
    HUDNoticeGate gate;
    EXPECT_EQ(run(gate, {{info, 0}, {otherSymbol, 0.1}, {otherKind, 0.2}, {otherText, 0.3}, {otherText, 0.4}}),
              (std::vector<bool>{true, true, true, true, false}));
}

TEST(HUDNoticeGateTest, SuccessesAlwaysPassAndResetTheComparison) {
    HUDNoticeGate gate;
    EXPECT_EQ(run(gate, {{done, 0}, {done, 0}, {done, 0.1}}), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(run(gate, {{info, 1.0}, {done, 1.1}, {info, 1.2}}), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(gate.previous, info);
    EXPECT_EQ(gate.lastShown, 1.2);
}

TEST(HUDNoticeGateTest, ResetLetsTheSameNoticeThroughAgain) {
    HUDNoticeGate gate;
    ASSERT_TRUE(gate.admit(failure, 5.0));
    ASSERT_FALSE(gate.admit(failure, 5.5));
    gate.reset();
    EXPECT_EQ(gate, HUDNoticeGate{});
    EXPECT_TRUE(gate.admit(failure, 5.6));
}

}  // namespace
}  // namespace glidra
