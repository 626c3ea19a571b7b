#include "executors/ShortcutActionService.h"

#include "platform/linux/QProcessRunner.h"
#include "platform/sim/SimProcessRunner.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QFile>

namespace glidra {

void PrintTo(const ShortcutTarget& target, std::ostream* out) {
    *out << target.name.toStdString() << " (" << target.id.toStdString() << ")";
}

namespace {

using test::resultOf;
using test::SimTime;
using Kind = HUDNotice::Kind;
using ListError = ShortcutActionService::ListError;

const QString id1 = QStringLiteral("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
const QString id2 = QStringLiteral("0C2F1B36-9A8E-4D5B-8F0E-3F6C1A2B4D5E");

class RecordingHUD final : public AdjustmentHUD {
public:
    explicit RecordingHUD(std::vector<HUDNotice>& shown) : shown_(shown) {}
    void show(const HUDNotice& notice) override { shown_.push_back(notice); }
    void showAdjustment(EdgeGesture::Side, float) override {}
    void showVideoProgress(const BrowserVideoState&) override {}
    void hide() override {}

private:
    std::vector<HUDNotice>& shown_;
};

HUDNotice failure(const char* text) {
    return HUDNotice{QString::fromUtf8(text), QStringLiteral("exclamationmark.circle"), Kind::error};
}

struct ShortcutServiceFixture : ::testing::Test {
    SimTime time;
    sim::SimProcessRunner runner;
    std::vector<HUDNotice> shown;
    ShortcutActionService service{runner, time.scheduler,
                                  [this](AdjustmentHUDSettings) { return std::make_unique<RecordingHUD>(shown); },
                                  AdjustmentHUDSettings{}};

    std::shared_ptr<std::optional<HUDNotice>> start(const QString& id, const QString& name) {
        return resultOf(service.start(ShortcutTarget{id, name}));
    }
};

TEST_F(ShortcutServiceFixture, ReportsEachOutcomeOfARun) {
    struct Case {
        std::function<void(sim::SimProcessRunner&, SimTime&)> end;
        HUDNotice notice;
    };
    const Case cases[] = {
        {[](sim::SimProcessRunner& r, SimTime&) { r.exit(r.children().size() - 1, 0); },
         HUDNotice{QStringLiteral("已运行 早安 (1)"), QStringLiteral("checkmark"), Kind::success}},
        {[](sim::SimProcessRunner& r, SimTime&) { r.exit(r.children().size() - 1, 1); },
         failure("快捷指令未完成，请在快捷指令 App 中检查")},
        {[](sim::SimProcessRunner&, SimTime& t) { t.advanceBy(120); }, failure("快捷指令运行超时")},
    };
    for (const Case& c : cases) {
        shown.clear();
        auto notice = start(id1, QStringLiteral("早安 (1)"));
        EXPECT_EQ(shown, (std::vector<HUDNotice>{{QStringLiteral("正在运行 早安 (1)"),
                                                  QStringLiteral("square.stack.3d.up"), Kind::information}}));
        EXPECT_TRUE(service.isRunning(id1));
        EXPECT_EQ(runner.children().back()->command.arguments, (QStringList{QStringLiteral("run"), id1}));
        EXPECT_EQ(runner.children().back()->command.standardOutputFile, std::nullopt);
        c.end(runner, time);
        time.drain();
        EXPECT_EQ(*notice, c.notice);
        EXPECT_FALSE(service.isRunning(id1));
    }
}

TEST_F(ShortcutServiceFixture, RefusesWhatCannotRun) {
    auto broken = start(QStringLiteral("not-a-uuid"), QStringLiteral("x"));
    time.drain();
    EXPECT_EQ(*broken, failure("快捷指令已失效，请重新选择"));
    EXPECT_TRUE(runner.children().empty());
    EXPECT_TRUE(shown.empty());

    runner.setStartError(QStringLiteral("No such file or directory"));
    auto missing = start(id1, QStringLiteral("x"));
    time.drain();
    EXPECT_EQ(*missing, failure("无法运行快捷指令"));
    EXPECT_FALSE(service.isRunning(id1));
}

TEST_F(ShortcutServiceFixture, RunsEachShortcutOnceAtATime) {
    auto first = start(id1, QStringLiteral("A"));
    auto again = start(id1, QStringLiteral("A"));
    auto other = start(id2, QStringLiteral("B"));
    time.drain();
    EXPECT_EQ(*again,
              (HUDNotice{QStringLiteral("此快捷指令正在运行"), QStringLiteral("hourglass"), Kind::information}));
    EXPECT_EQ(runner.children().size(), 2u) << "the other shortcut runs alongside";
    runner.exit(0, 0);
    runner.exit(1, 0);
    time.drain();
    EXPECT_EQ(first->value().kind, Kind::success);
    EXPECT_EQ(other->value().kind, Kind::success);
    auto later = start(id1, QStringLiteral("A"));
    EXPECT_EQ(runner.children().size(), 3u);
    runner.exit(2, 0);
    time.drain();
}

TEST_F(ShortcutServiceFixture, ListsTheShortcutsSortedAsPeopleSortNames) {
    const QString output =
        QStringLiteral("Item 10 (%1)\nitem 2 (%2)\nbroken line\nItem 2 (%1)\nAlpha (%2)\n").arg(id1, id2);
    runner.planExit(sim::SimProcessRunner::PlannedExit{0, output.toUtf8()});
    auto list = resultOf(service.loadShortcuts());
    time.drain();
    ASSERT_TRUE(list->has_value());
    ASSERT_TRUE(list->value());
    EXPECT_EQ(*list->value(), (std::vector<ShortcutTarget>{{id2, QStringLiteral("Alpha")},
                                                           {id2, QStringLiteral("item 2")},
                                                           {id1, QStringLiteral("Item 2")},
                                                           {id1, QStringLiteral("Item 10")}}));
    const auto& command = runner.children()[0]->command;
    EXPECT_EQ(command.arguments, (QStringList{QStringLiteral("list"), QStringLiteral("--show-identifiers")}));
    EXPECT_TRUE(command.standardOutputFile);
}

TEST_F(ShortcutServiceFixture, AListThatCannotBeReadFailsAsAWhole) {
    runner.planExit(sim::SimProcessRunner::PlannedExit{1, "Item (" + id1.toUtf8() + ")\n"});
    auto failed = resultOf(service.loadShortcuts());
    time.drain();
    EXPECT_EQ(failed->value().error(), (ListError{ListError::Kind::fileReadUnknown, {}}));

    runner.planExit(std::nullopt);
    auto slow = resultOf(service.loadShortcuts());
    time.advanceBy(10);
    ASSERT_TRUE(slow->has_value());
    EXPECT_EQ(slow->value().error().kind, ListError::Kind::fileReadUnknown);

    runner.setStartError(QStringLiteral("No such file or directory"));
    auto missing = resultOf(service.loadShortcuts());
    time.drain();
    EXPECT_EQ(missing->value().error(),
              (ListError{ListError::Kind::launch, QStringLiteral("No such file or directory")}));

    runner.setStartError(std::nullopt);
    runner.planExit(sim::SimProcessRunner::PlannedExit{0, "no shortcuts\n"});
    auto empty = resultOf(service.loadShortcuts());
    time.drain();
    EXPECT_TRUE(empty->value()->empty());
}

}  // namespace
}  // namespace glidra

namespace glidra {
namespace {

// Linux has no Shortcuts tool: the real runner reports the launch failures.
TEST(ShortcutsOnLinuxTest, TheMissingToolGivesTheLaunchFailures) {
    if (QFile::exists(QString::fromLatin1(ShortcutsCommandProcess::executable))) {
        GTEST_SKIP() << "this machine has a program at " << ShortcutsCommandProcess::executable;
    }
    SimTime time;
    linux_platform::QProcessRunner runner;
    std::vector<HUDNotice> shown;
    ShortcutActionService service(
        runner, time.scheduler, [&shown](AdjustmentHUDSettings) { return std::make_unique<RecordingHUD>(shown); },
        AdjustmentHUDSettings{});
    auto notice = resultOf(service.start(ShortcutTarget{id1, QStringLiteral("A")}));
    auto list = resultOf(service.loadShortcuts());
    time.drain();
    EXPECT_EQ(*notice, failure("无法运行快捷指令"));
    ASSERT_TRUE(list->has_value());
    ASSERT_FALSE(list->value());
    EXPECT_EQ(list->value().error().kind, ListError::Kind::launch);
}

}  // namespace
}  // namespace glidra
