#include "support/TestEnvironment.h"
#include "trackpad/ConnectionEventLog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QStringList>

#include <sys/stat.h>

namespace glidra {

struct ConnectionEventLogTestAccess {
    // Occupies the log's worker until `release` is given one permit.
    static void holdWorker(ConnectionEventLog& log, QSemaphore& release) {
        log.post([&release] { release.acquire(); });
    }
};

namespace {

const QDateTime kTime(QDate(2026, 3, 14), QTime(9, 26, 53, 589), Qt::UTC);

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void writeFile(const QString& path, qint64 size) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(QByteArray(size, 'x')), size);
}

class ConnectionEventLogTest : public ::testing::Test {
protected:
    QString path = test::temporaryHome() + QStringLiteral("/state/Glidra/connection-events.jsonl");
};

TEST_F(ConnectionEventLogTest, AnEntryIsOneSortedCompactJsonLine) {
    ConnectionEventLog log(path, ConnectionEventLog::kMaximumBytes, QStringLiteral("1"));
    log.record(ConnectionLogEvent::start, false, kTime);
    log.record(ConnectionLogEvent::streamStall, true, kTime.addSecs(1).toOffsetFromUtc(8 * 3600));
    log.waitForWrites();
    EXPECT_EQ(readAll(path),
              QByteArray("{\"build\":\"1\",\"event\":\"start\",\"listening\":false,\"time\":\"2026-03-14T09:26:53Z\"}\n"
                         "{\"build\":\"1\",\"event\":\"stream_stall\",\"listening\":true,"
                         "\"time\":\"2026-03-14T09:26:54Z\"}\n"));
}

TEST_F(ConnectionEventLogTest, AnEntryWithoutAValidTimeIsDropped) {
    ConnectionEventLog log(path, ConnectionEventLog::kMaximumBytes, QStringLiteral("1"));
    log.record(ConnectionLogEvent::start, false, QDateTime());
    log.record(ConnectionLogEvent::stop, false, kTime);
    log.waitForWrites();
    EXPECT_EQ(readAll(path).count('\n'), 1);
    EXPECT_TRUE(readAll(path).contains("\"stop\""));
}

// The cap: a line that still fits is appended, one that would not starts
// the file afresh, one longer than the cap is never written.
TEST_F(ConnectionEventLogTest, TheFileNeverPassesItsCap) {
    const QByteArray line =
        *ConnectionLogEntry{kTime, ConnectionLogEvent::wake, true, QStringLiteral("1")}.encoded() + '\n';
    const qint64 n = line.size();
    const qint64 cap = ConnectionEventLog::kMaximumBytes;
    struct Case {
        qint64 existing;  // -1: no file
        qint64 cap;
        qint64 expectedSize;
        bool onlyTheLine;
    };
    const Case cases[] = {
        {-1, cap, n, true},      {0, cap, n, true},   {cap - n, cap, cap, false}, {cap - n + 1, cap, n, true},
        {262'100, cap, n, true}, {cap, cap, n, true}, {10, n - 1, 10, false},  // the line alone is over the cap:
                                                                               // nothing changes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("existing %1, cap %2").arg(c.existing).arg(c.cap).toStdString());
        QFile::remove(path);
        if (c.existing >= 0) writeFile(path, c.existing);
        ConnectionEventLog log(path, c.cap, QStringLiteral("1"));
        log.record(ConnectionLogEvent::wake, true, kTime);
        log.waitForWrites();
        const QByteArray content = readAll(path);
        EXPECT_EQ(content.size(), c.expectedSize);
        if (c.onlyTheLine) {
            EXPECT_EQ(content, line);
        } else if (c.existing > 0 && c.expectedSize > c.existing) {
            EXPECT_TRUE(content.endsWith(line));
            EXPECT_EQ(content.left(c.existing), QByteArray(c.existing, 'x'));
        }
    }
}

TEST_F(ConnectionEventLogTest, AMissingFolderIsCreatedWithTheFirstEntry) {
    const QString deep = test::temporaryHome() + QStringLiteral("/a/b/c/connection-events.jsonl");
    ConnectionEventLog log(deep, ConnectionEventLog::kMaximumBytes, QStringLiteral("1"));
    EXPECT_FALSE(QDir(test::temporaryHome() + QStringLiteral("/a")).exists()) << "building the log touches nothing";
    log.record(ConnectionLogEvent::start, false, kTime);
    log.waitForWrites();
    EXPECT_EQ(readAll(deep).count('\n'), 1);
}

TEST_F(ConnectionEventLogTest, AnUnwritableFolderLosesTheEntriesAndNothingElse) {
    // A file where the folder should be: no one, not even root, can create it.
    const QString blocker = test::temporaryHome() + QStringLiteral("/state");
    writeFile(blocker, 3);
    ConnectionEventLog log(path, ConnectionEventLog::kMaximumBytes, QStringLiteral("1"));
    for (int i = 0; i < 3; ++i) log.record(ConnectionLogEvent::deviceChanged, true, kTime);
    log.waitForWrites();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(readAll(blocker), QByteArray("xxx"));

    // Once the way is clear, the next entry is written.
    QFile::remove(blocker);
    log.record(ConnectionLogEvent::wake, true, kTime);
    log.waitForWrites();
    EXPECT_EQ(readAll(path).count('\n'), 1);
}

TEST_F(ConnectionEventLogTest, RecordingNeverWaitsForTheDiskAndKeepsTheOrder) {
    ConnectionEventLog log(path, ConnectionEventLog::kMaximumBytes, QStringLiteral("1"));
    QSemaphore release;
    ConnectionEventLogTestAccess::holdWorker(log, release);
    log.record(ConnectionLogEvent::sleep, false, kTime);
    log.record(ConnectionLogEvent::wake, false, kTime.addSecs(5));
    log.record(ConnectionLogEvent::connected, true, kTime.addSecs(6));
    // The worker is still held: every record returned without writing.
    EXPECT_FALSE(QFile::exists(path));
    release.release();
    log.waitForWrites();
    const QList<QByteArray> lines = readAll(path).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].contains("\"sleep\""));
    EXPECT_TRUE(lines[1].contains("\"wake\""));
    EXPECT_TRUE(lines[2].contains("\"connected\""));
    EXPECT_TRUE(lines[3].isEmpty());
}

mode_t modeOf(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) return 0;
    return status.st_mode & 07777;
}

// The log tells when the user's machine slept and woke: for the user alone,
// also where an earlier version or another umask left it open, and without
// the copy of a restart of the file that a kill cut short.
TEST_F(ConnectionEventLogTest, TheLogAndItsFolderAreForTheUserAlone) {
    const mode_t umask = ::umask(022);
    const QString folder = QFileInfo(path).absolutePath();
    {
        ConnectionEventLog log(path, ConnectionEventLog::kMaximumBytes, QStringLiteral("1"));
        log.record(ConnectionLogEvent::start, false, kTime);
        log.waitForWrites();
    }
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(path), 0600u);

    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    writeFile(folder + QStringLiteral("/connection-events.jsonl.QwErTy"), 5);
    writeFile(folder + QStringLiteral("/connection-events.jsonl.old"), 5);
    {
        ConnectionEventLog log(path, ConnectionEventLog::kMaximumBytes, QStringLiteral("1"));
        log.record(ConnectionLogEvent::stop, false, kTime);
        log.waitForWrites();
    }
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(readAll(path).count('\n'), 2) << "the earlier lines stay";
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              (QStringList{QStringLiteral("connection-events.jsonl"), QStringLiteral("connection-events.jsonl.old")}));
    ::umask(umask);
}

TEST_F(ConnectionEventLogTest, TheFileLivesInTheUsersStateFolder) {
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", "/var/tmp/state");
    EXPECT_EQ(ConnectionEventLog::defaultLocation(), QStringLiteral("/var/tmp/state/Glidra/connection-events.jsonl"));
    // Unset or relative: the default under the home folder.
    for (const QByteArray& value : {QByteArray(), QByteArray("relative/state")}) {
        qputenv("XDG_STATE_HOME", value);
        EXPECT_EQ(ConnectionEventLog::defaultLocation(),
                  QDir::homePath() + QStringLiteral("/.local/state/Glidra/connection-events.jsonl"));
    }
    qputenv("XDG_STATE_HOME", saved);
}

}  // namespace
}  // namespace glidra
