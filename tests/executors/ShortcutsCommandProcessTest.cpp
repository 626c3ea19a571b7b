#include "executors/ShortcutsCommandProcess.h"
#include "executors/ShortcutsOutputFile.h"

#include "platform/sim/SimProcessRunner.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace glidra {
namespace {

using test::resultOf;
using test::SimTime;
using Outcome = ShortcutsCommandProcess::Outcome;
using Error = ShortcutsCommandProcess::Error;
using Result_ = Result<Outcome, Error>;

QStringList leftoverFiles() {
    return QDir(QDir::tempPath()).entryList({QStringLiteral("glidra-shortcuts-*")}, QDir::Files | QDir::Hidden);
}

struct CommandFixture : ::testing::Test {
    SimTime time;
    sim::SimProcessRunner runner;
    ShortcutsCommandProcess process{runner, time.scheduler};

    // A temporary folder of the test's own, which ends with no output file
    // of ours left in it.
    void SetUp() override {
        const QString folder = test::temporaryHome() + QStringLiteral("/tmp");
        ASSERT_TRUE(QDir().mkpath(folder));
        qputenv("TMPDIR", QFile::encodeName(folder));
    }
    void TearDown() override {
        EXPECT_EQ(leftoverFiles(), QStringList());
        qunsetenv("TMPDIR");
    }
};

TEST_F(CommandFixture, RunsTheToolWithTheArgumentsAsTheyAre) {
    runner.planExit(sim::SimProcessRunner::PlannedExit{0, {}});
    const QStringList arguments{QStringLiteral("run"), QStringLiteral("a \"b\"\\c\nd; rm -rf ~")};
    auto outcome = resultOf(process.execute(arguments, false, 120));
    time.drain();
    EXPECT_EQ(*outcome, Result_(Outcome{0, {}}));
    ASSERT_EQ(runner.children().size(), 1u);
    EXPECT_EQ(runner.children()[0]->command,
              (ProcessRunner::Command{QStringLiteral("/usr/bin/shortcuts"), arguments, std::nullopt}));
}

TEST_F(CommandFixture, CapturesOutputThroughAPrivateFileThatIsRemovedAfterwards) {
    auto outcome = resultOf(process.execute({QStringLiteral("list")}, true, 10));
    ASSERT_EQ(runner.children().size(), 1u);
    const auto file = runner.children()[0]->command.standardOutputFile;
    ASSERT_TRUE(file);
    const QFileInfo info(*file);
    EXPECT_EQ(info.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    EXPECT_TRUE(info.fileName().startsWith(QStringLiteral("glidra-shortcuts-")));
    EXPECT_EQ(info.permissions() & 0x0777, QFileDevice::ReadUser | QFileDevice::WriteUser);
    EXPECT_EQ(info.size(), 0);

    runner.exit(0, 3, "名字 (id)\n");
    time.drain();
    EXPECT_EQ(*outcome, Result_(Outcome{3, QStringLiteral("名字 (id)\n")}));
    EXPECT_FALSE(QFileInfo::exists(*file));
}

TEST_F(CommandFixture, ATimedOutChildIsTerminatedAndKilledWhenItIgnoresThat) {
    for (const bool ignores : {false, true}) {
        runner.setIgnoresTerminate(ignores);
        ShortcutsCommandProcess once(runner, time.scheduler);
        const double start = time.clock.uptime();
        auto outcome = resultOf(once.execute({QStringLiteral("run")}, true, 120));
        const auto& child = runner.children().back();
        time.advanceTo(start + 119.999);
        EXPECT_EQ(child->terminations, 0);
        time.advanceTo(start + 120);
        EXPECT_EQ(child->terminations, 1);
        EXPECT_EQ(child->running, ignores);
        time.advanceTo(start + 122);
        EXPECT_EQ(child->kills, ignores ? 1 : 0);
        EXPECT_EQ(child->terminations, 1);
        ASSERT_TRUE(outcome->has_value()) << ignores;
        EXPECT_EQ(**outcome, Result_(Outcome{-1, {}})) << ignores;
        EXPECT_EQ(time.scheduler.pendingCount(), 0u);
    }
}

TEST_F(CommandFixture, AChildEndingAsTheTimeOutFiresResumesTheCallerOnce) {
    auto outcome = resultOf(process.execute({QStringLiteral("run")}, false, 5));
    runner.exit(0, 0);            // its end is on its way...
    time.scheduler.advanceTo(5);  // ...when the deadline passes
    time.drain();
    EXPECT_EQ(*outcome, Result_(Outcome{0, {}}));
    EXPECT_EQ(runner.children()[0]->terminations, 0);
    runner.exit(0, 1);  // a second end changes nothing
    time.drain();
    EXPECT_EQ(*outcome, Result_(Outcome{0, {}}));
}

TEST_F(CommandFixture, AToolThatCannotStartFailsAndLeavesNoFile) {
    runner.setStartError(QStringLiteral("No such file or directory"));
    auto outcome = resultOf(process.execute({QStringLiteral("list")}, true, 10));
    time.drain();
    EXPECT_EQ(*outcome, Result_(Failure{Error{Error::Kind::launch, QStringLiteral("No such file or directory")}}));
}

TEST_F(CommandFixture, AnOutputFileThatCannotBeMadeStartsNothing) {
    const QString folder = QDir::tempPath();
    const QString unwritable[] = {folder + QStringLiteral("/missing-folder"), folder + QStringLiteral("/a-file")};
    QFile(unwritable[1]).open(QIODevice::WriteOnly);
    for (const QString& path : unwritable) {
        qputenv("TMPDIR", QFile::encodeName(path));
        auto outcome = resultOf(process.execute({QStringLiteral("list")}, true, 10));
        ASSERT_TRUE(outcome->has_value()) << path;
        ASSERT_FALSE(outcome->value()) << path;
        EXPECT_EQ(outcome->value().error().kind, Error::Kind::outputFile) << path;
    }
    qputenv("TMPDIR", QFile::encodeName(folder));
    EXPECT_TRUE(runner.children().empty());
}

TEST(ShortcutsOutputFileTest, AFileAlreadyThereIsNeitherOpenedNorRemoved) {
    const QString taken = test::temporaryHome() + QStringLiteral("/taken");
    {
        QFile file(taken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the user's");
    }
    {
        ShortcutsOutputFile output(taken);
        QString error;
        EXPECT_FALSE(output.create(&error));
        EXPECT_FALSE(error.isEmpty());
    }
    QFile kept(taken);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the user's");

    const QString fresh = test::temporaryHome() + QStringLiteral("/fresh");
    {
        ShortcutsOutputFile output(fresh);
        QString error;
        EXPECT_TRUE(output.create(&error)) << error.toStdString();
        EXPECT_TRUE(QFileInfo::exists(fresh));
    }
    EXPECT_FALSE(QFileInfo::exists(fresh)) << "what it made goes with it";
}

TEST(ShortcutsOutputTest, DecodesStrictUtf8AndDropsOnlyACharacterCutByTheLimit) {
    struct Case {
        QByteArray bytes;
        bool truncated;
        QString text;
    };
    const QByteArray han = "\xE5\x90\x8D";  // 名
    const QByteArray emoji = "\xF0\x9F\x98\x80";
    const Case cases[] = {
        {"plain", false, QStringLiteral("plain")},
        {"ok" + han, false, QStringLiteral("ok名")},
        {"bad \xFF byte", false, {}},
        {"cut" + han.left(2), false, {}},  // not cut by the limit: invalid
        {"cut" + han.left(1), true, QStringLiteral("cut")},
        {"cut" + han.left(2), true, QStringLiteral("cut")},
        {"cut" + emoji.left(3), true, QStringLiteral("cut")},
        {"whole" + emoji, true, QStringLiteral("whole😀")},
        {"bad \xFF then" + han.left(2), true, {}},
        {"\x80", true, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortcutsCommandProcess::decodeOutput(c.bytes, c.truncated), c.text) << c.bytes.toHex().data();
    }
}

TEST_F(CommandFixture, OutputBeyondTheLimitKeepsItsWholeCharacters) {
    auto outcome = resultOf(process.execute({QStringLiteral("list")}, true, 10));
    // 349,525 three-byte characters and one more: the limit cuts the last.
    QByteArray output;
    for (int i = 0; i < 349'526; ++i) output += "\xE5\x90\x8D";
    runner.exit(0, 0, output);
    time.drain();
    ASSERT_TRUE(outcome->has_value());
    ASSERT_TRUE(outcome->value());
    EXPECT_EQ(outcome->value()->output.size(), 349'525);
}

}  // namespace
}  // namespace glidra
