#include "platform/linux/QProcessRunner.h"

#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include <optional>

namespace glidra {
namespace {

using Command = ProcessRunner::Command;

struct Child {
    ProcessRunner::Started started;
    std::shared_ptr<std::optional<int>> status = std::make_shared<std::optional<int>>();
};

Child start(Command command) {
    Child run;
    auto status = run.status;
    linux_platform::QProcessRunner runner;
    run.started = runner.start(std::move(command), [status](int value) {
        EXPECT_FALSE(status->has_value()) << "reported twice";
        *status = value;
    });
    return run;
}

// Waits for the real child; only a broken machine takes seconds.
bool ended(const Child& run) {
    return QTest::qWaitFor([&run] { return run.status->has_value(); }, 20000);
}

Command shell(const QString& script, QStringList arguments = {}) {
    return Command{QStringLiteral("/bin/sh"),
                   QStringList{QStringLiteral("-c"), script, QStringLiteral("sh")} + arguments, std::nullopt};
}

TEST(QProcessRunnerTest, PassesArgumentsAsDataAndAppendsOutputToTheFile) {
    const QString output = test::temporaryHome() + QStringLiteral("/out");
    QFile(output).open(QIODevice::WriteOnly);
    const QString tricky = QStringLiteral("a \"b\" 'c' \\d\n$(e) ;f");
    Command command =
        shell(QStringLiteral("printf '%s|' \"$1\" \"$2\"; printf err >&2; exit 3"), {tricky, QStringLiteral("名")});
    command.standardOutputFile = output;
    const Child run = start(command);
    ASSERT_TRUE(run.started.process) << run.started.error.toStdString();
    ASSERT_TRUE(ended(run));
    EXPECT_EQ(**run.status, 3);
    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), tricky + QStringLiteral("|名|"));
}

TEST(QProcessRunnerTest, AProgramThatCannotStartIsAnError) {
    const Child run = start(Command{QStringLiteral("/usr/bin/shortcuts-glidra-missing"), {}, std::nullopt});
    EXPECT_EQ(run.started.process, nullptr);
    EXPECT_FALSE(run.started.error.isEmpty());
}

TEST(QProcessRunnerTest, TerminateAndKillEndTheChildAsCrashed) {
    const Child polite = start(shell(QStringLiteral("exec sleep 30")));
    ASSERT_TRUE(polite.started.process);
    EXPECT_TRUE(polite.started.process->isRunning());
    polite.started.process->terminate();
    ASSERT_TRUE(ended(polite));
    EXPECT_EQ(**polite.status, ProcessRunner::crashedStatus);
    EXPECT_FALSE(polite.started.process->isRunning());

    const Child stubborn = start(shell(QStringLiteral("trap '' TERM; while :; do sleep 1; done")));
    ASSERT_TRUE(stubborn.started.process);
    stubborn.started.process->kill();
    ASSERT_TRUE(ended(stubborn));
    EXPECT_EQ(**stubborn.status, ProcessRunner::crashedStatus);
}

TEST(QProcessRunnerTest, AGivenUpChildIsNeverReported) {
    Child run = start(shell(QStringLiteral("exec sleep 30")));
    ASSERT_TRUE(run.started.process);
    run.started.process.reset();  // kills the child
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_FALSE(run.status->has_value());
}

}  // namespace
}  // namespace glidra
