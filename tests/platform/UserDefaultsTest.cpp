#include "platform/linux/JsonFileUserDefaults.h"
#include "platform/sim/SimUserDefaults.h"
#include "support/FilePermissionsEnforced.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"
#include "support/WriteFailures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <sys/stat.h>

#include <cmath>

namespace glidra {
namespace {

QString settingsPath() { return test::temporaryHome() + QStringLiteral("/.config/Glidra/settings.json"); }

TEST(JsonFileUserDefaultsTest, EveryKindReadsBackAsWhatItWasAfterReopening) {
    {
        linux_platform::JsonFileUserDefaults defaults(settingsPath());
        ASSERT_TRUE(defaults.setValue(QStringLiteral("b"), true));
        ASSERT_TRUE(defaults.setValue(QStringLiteral("i"), std::int64_t(2)));
        ASSERT_TRUE(defaults.setValue(QStringLiteral("d"), 0.08));
        ASSERT_TRUE(defaults.setValue(QStringLiteral("nan"), std::nan("")));
        ASSERT_TRUE(defaults.setValue(QStringLiteral("s"), QStringLiteral("标准")));
        ASSERT_TRUE(defaults.setValue(QStringLiteral("data"), QByteArray("[1,2]")));
        ASSERT_TRUE(defaults.setValue(QStringLiteral("gone"), true));
        ASSERT_TRUE(defaults.removeValue(QStringLiteral("gone")));
    }
    linux_platform::JsonFileUserDefaults reopened(settingsPath());
    EXPECT_EQ(reopened.value(QStringLiteral("b")), DefaultsValue(true));
    EXPECT_EQ(reopened.value(QStringLiteral("i")), DefaultsValue(std::int64_t(2)));
    EXPECT_EQ(reopened.value(QStringLiteral("d")), DefaultsValue(0.08));
    EXPECT_TRUE(std::isnan(*reopened.number(QStringLiteral("nan"))));
    EXPECT_EQ(reopened.string(QStringLiteral("s")), QStringLiteral("标准"));
    EXPECT_EQ(reopened.data(QStringLiteral("data")), QByteArray("[1,2]"));
    EXPECT_EQ(reopened.value(QStringLiteral("gone")), std::nullopt);
    // Kinds never blur: data is not a string, a Boolean not a number.
    EXPECT_EQ(reopened.string(QStringLiteral("data")), std::nullopt);
    EXPECT_EQ(reopened.number(QStringLiteral("b")), std::nullopt);
    EXPECT_EQ(reopened.boolean(QStringLiteral("i")), std::nullopt);
}

TEST(JsonFileUserDefaultsTest, AnUnreadableDocumentIsKeptAsideAndTheStoreStartsEmpty) {
    QDir().mkpath(QFileInfo(settingsPath()).absolutePath());
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"restoreEnabled\": {\"bool\": tr");
    file.close();

    linux_platform::JsonFileUserDefaults defaults(settingsPath());
    EXPECT_EQ(defaults.value(QStringLiteral("restoreEnabled")), std::nullopt);
    ASSERT_FALSE(defaults.setAsidePath().isEmpty());
    QFile aside(defaults.setAsidePath());
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), QByteArray("{\"restoreEnabled\": {\"bool\": tr"));

    // Told once, naming the copy: the next start finds no damaged file.
    EXPECT_EQ(defaults.unreadableNotice(),
              QStringLiteral("设置文件已损坏，已原样保留为 %1，现使用默认设置。").arg(defaults.setAsidePath()));

    ASSERT_TRUE(defaults.setValue(QStringLiteral("restoreEnabled"), true));
    linux_platform::JsonFileUserDefaults reopened(settingsPath());
    EXPECT_EQ(reopened.boolean(QStringLiteral("restoreEnabled")), true);
    EXPECT_TRUE(reopened.unreadableNotice().isEmpty());
    EXPECT_TRUE(reopened.setAsidePath().isEmpty());
}

TEST(JsonFileUserDefaultsTest, EntriesOfAnUnknownKindSurviveRewrites) {
    QDir().mkpath(QFileInfo(settingsPath()).absolutePath());
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"future": {"date": "2030-01-01"}, "edgeWidth": {"double": 0.1}})");
    file.close();
    {
        linux_platform::JsonFileUserDefaults defaults(settingsPath());
        EXPECT_EQ(defaults.unreadableEntryCount(), 1);
        EXPECT_EQ(defaults.unreadableNotice(),
                  QStringLiteral("设置文件 %1 中有 1 项设置无法识别，已保留在文件中，这些设置现使用默认值。")
                      .arg(settingsPath()));
        EXPECT_EQ(defaults.value(QStringLiteral("future")), std::nullopt);
        ASSERT_TRUE(defaults.setValue(QStringLiteral("edgeWidth"), 0.2));
    }
    QFile again(settingsPath());
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_TRUE(again.readAll().contains("2030-01-01"));
}

QByteArray fileContents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

TEST(JsonFileUserDefaultsTest, TwoProcessesDoNotUndoEachOthersChanges) {
    writeFile(settingsPath(), R"({"shared": {"integer": 1}, "mine": {"integer": 1}})");
    linux_platform::JsonFileUserDefaults first(settingsPath());
    linux_platform::JsonFileUserDefaults second(settingsPath());

    ASSERT_TRUE(first.setValue(QStringLiteral("mine"), std::int64_t(2)));
    ASSERT_TRUE(second.setValue(QStringLiteral("theirs"), std::int64_t(3)));
    ASSERT_TRUE(second.removeValue(QStringLiteral("shared")));
    // Rewriting a key of its own brings back nothing the other one changed.
    ASSERT_TRUE(first.setValue(QStringLiteral("mine"), std::int64_t(4)));

    linux_platform::JsonFileUserDefaults reopened(settingsPath());
    EXPECT_EQ(reopened.value(QStringLiteral("mine")), DefaultsValue(std::int64_t(4)));
    EXPECT_EQ(reopened.value(QStringLiteral("theirs")), DefaultsValue(std::int64_t(3)));
    EXPECT_EQ(reopened.value(QStringLiteral("shared")), std::nullopt);
    // What each saw at start stays as it was: nothing is reloaded.
    EXPECT_EQ(first.value(QStringLiteral("shared")), DefaultsValue(std::int64_t(1)));
}

TEST(JsonFileUserDefaultsTest, AWriteWaitsForTheLockOfAnotherWriter) {
    linux_platform::JsonFileUserDefaults defaults(settingsPath(), std::chrono::milliseconds(0));
    ASSERT_TRUE(defaults.setValue(QStringLiteral("a"), true));
    const QByteArray before = fileContents(settingsPath());
    {
        QLockFile otherWriter(settingsPath() + QStringLiteral(".lock"));
        ASSERT_TRUE(otherWriter.tryLock(0));
        EXPECT_FALSE(defaults.setValue(QStringLiteral("b"), true));
        EXPECT_FALSE(defaults.failure().isEmpty());
        EXPECT_EQ(defaults.value(QStringLiteral("b")), DefaultsValue(true));
        EXPECT_EQ(fileContents(settingsPath()), before);
    }
    // The next write carries the one that failed.
    ASSERT_TRUE(defaults.setValue(QStringLiteral("c"), true));
    EXPECT_TRUE(defaults.failure().isEmpty());
    linux_platform::JsonFileUserDefaults reopened(settingsPath());
    EXPECT_EQ(reopened.value(QStringLiteral("b")), DefaultsValue(true));
    EXPECT_EQ(reopened.value(QStringLiteral("c")), DefaultsValue(true));
}

TEST(JsonFileUserDefaultsTest, ADocumentDamagedAfterLoadingIsSetAsideAndWrittenWhole) {
    writeFile(settingsPath(), R"({"kept": {"bool": true}})");
    linux_platform::JsonFileUserDefaults defaults(settingsPath());
    writeFile(settingsPath(), "{\"kept\": ");

    ASSERT_TRUE(defaults.setValue(QStringLiteral("new"), true));
    ASSERT_FALSE(defaults.setAsidePath().isEmpty());
    EXPECT_EQ(fileContents(defaults.setAsidePath()), QByteArray("{\"kept\": "));
    linux_platform::JsonFileUserDefaults reopened(settingsPath());
    EXPECT_EQ(reopened.value(QStringLiteral("kept")), DefaultsValue(true));
    EXPECT_EQ(reopened.value(QStringLiteral("new")), DefaultsValue(true));
}

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(JsonFileUserDefaultsTest, AWriteThatStopsShortKeepsTheFileAndCarriesTheChangeToTheNextWrite) {
    // Past the write buffer the document goes to the disk at once; below it,
    // only when the buffer is flushed. Both must stop short.
    struct Case {
        rlim_t limit;
        qsizetype payload;
    };
    for (const Case c : {Case{4096, 40000}, Case{512, 2000}}) {
        SCOPED_TRACE(c.payload);
        writeFile(settingsPath(), R"({"kept": {"bool": true}})");
        const QByteArray before = fileContents(settingsPath());
        linux_platform::JsonFileUserDefaults defaults(settingsPath());
        const QByteArray payload(c.payload, 'p');
        {
            const test::FileSizeLimit limit(c.limit);
            EXPECT_FALSE(defaults.setValue(QStringLiteral("large"), payload));
        }
        EXPECT_TRUE(defaults.failure().startsWith(QStringLiteral("无法写入设置文件 %1：").arg(settingsPath())))
            << defaults.failure().toStdString();
        EXPECT_EQ(fileContents(settingsPath()), before);
        EXPECT_EQ(folderEntries(QFileInfo(settingsPath()).absolutePath()),
                  QStringList{QStringLiteral("settings.json")});
        linux_platform::JsonFileUserDefaults restarted(settingsPath());
        EXPECT_TRUE(restarted.setAsidePath().isEmpty());
        EXPECT_EQ(restarted.value(QStringLiteral("kept")), DefaultsValue(true));

        ASSERT_TRUE(defaults.setValue(QStringLiteral("other"), true));
        EXPECT_TRUE(defaults.failure().isEmpty());
        EXPECT_EQ(linux_platform::JsonFileUserDefaults(settingsPath()).data(QStringLiteral("large")), payload);
    }
}

TEST(JsonFileUserDefaultsTest, AFolderWithoutWritePermissionIsReportedAsSuch) {
    writeFile(settingsPath(), R"({"kept": {"bool": true}})");
    linux_platform::JsonFileUserDefaults defaults(settingsPath());
    const QString folder = QFileInfo(settingsPath()).absolutePath();
    const bool held =
        test::withFolderNotWritable(folder, [&] { EXPECT_FALSE(defaults.setValue(QStringLiteral("new"), true)); });
    if (!held) GTEST_SKIP() << "file permissions do not hold here";
    EXPECT_EQ(defaults.failure(), QStringLiteral("没有写入设置文件夹 %1 的权限。").arg(folder));
}

TEST(JsonFileUserDefaultsTest, AFullOrReadOnlyDiskKeepsTheFileAndIsReportedAsSuch) {
    const QString disk = test::temporaryHome() + QStringLiteral("/disk");
    const QString folder = disk + QStringLiteral("/Glidra");
    const QString path = folder + QStringLiteral("/settings.json");
    const bool ran = test::onSmallFileSystem(disk, 128 * 1024, [&] {
        linux_platform::JsonFileUserDefaults defaults(path);
        ASSERT_TRUE(defaults.setValue(QStringLiteral("kept"), true));
        const QByteArray before = fileContents(path);
        const QString full = QStringLiteral("设置文件夹 %1 所在的磁盘已满。").arg(folder);

        // Room for the lock, not for the document.
        test::fillUp(disk, QStringLiteral("filler"), 8192);
        EXPECT_FALSE(defaults.setValue(QStringLiteral("large"), QByteArray(40000, 'p')));
        EXPECT_EQ(defaults.failure(), full);
        EXPECT_EQ(fileContents(path), before);
        EXPECT_EQ(folderEntries(folder), QStringList{QStringLiteral("settings.json")});

        // No room for the lock either.
        test::fillUp(disk, QStringLiteral("filler"));
        EXPECT_FALSE(defaults.setValue(QStringLiteral("small"), true));
        EXPECT_EQ(defaults.failure(), full);

        ASSERT_TRUE(QFile::remove(disk + QStringLiteral("/filler")));
        ASSERT_TRUE(test::remount(disk, true));
        EXPECT_FALSE(defaults.setValue(QStringLiteral("small"), true));
        EXPECT_EQ(defaults.failure(), QStringLiteral("设置文件夹 %1 所在的磁盘是只读的。").arg(folder));
        // A folder still to be made on a read-only disk.
        linux_platform::JsonFileUserDefaults elsewhere(disk + QStringLiteral("/Other/settings.json"));
        EXPECT_FALSE(elsewhere.setValue(QStringLiteral("small"), true));
        EXPECT_EQ(elsewhere.failure(),
                  QStringLiteral("设置文件夹 %1 所在的磁盘是只读的。").arg(disk + QStringLiteral("/Other")));

        ASSERT_TRUE(test::remount(disk, false));
        linux_platform::JsonFileUserDefaults restarted(path);
        EXPECT_TRUE(restarted.setAsidePath().isEmpty());
        EXPECT_EQ(restarted.value(QStringLiteral("kept")), DefaultsValue(true));
        // Every change held in memory goes in with the next write.
        ASSERT_TRUE(defaults.setValue(QStringLiteral("last"), true));
        linux_platform::JsonFileUserDefaults reopened(path);
        EXPECT_EQ(reopened.data(QStringLiteral("large")), QByteArray(40000, 'p'));
        EXPECT_EQ(reopened.value(QStringLiteral("small")), DefaultsValue(true));
    });
    if (!ran) GTEST_SKIP() << "a small tmpfs is mounted only as root, where mounting is allowed";
}

TEST(JsonFileUserDefaultsTest, FailuresAreLoggedWithTheFileAndTheReasonOnceEach) {
    // Where the settings folder should be there is a file.
    const QString blocked = test::temporaryHome() + QStringLiteral("/blocked");
    writeFile(blocked, "x");
    const QString path = blocked + QStringLiteral("/Glidra/settings.json");
    test::LogCapture log;
    linux_platform::JsonFileUserDefaults defaults(path);
    EXPECT_FALSE(defaults.setValue(QStringLiteral("a"), true));
    EXPECT_FALSE(defaults.setValue(QStringLiteral("b"), true));
    QStringList warnings = log.texts("glidra.settings");
    ASSERT_EQ(warnings.size(), 1) << warnings.join(u'\n').toStdString();
    EXPECT_TRUE(warnings[0].contains(path));
    EXPECT_TRUE(warnings[0].contains(defaults.failure())) << warnings[0].toStdString();

    // A damaged document: where it went, and that the defaults replace it.
    writeFile(settingsPath(), "{\"kept\": ");
    const linux_platform::JsonFileUserDefaults damaged(settingsPath());
    warnings = log.texts("glidra.settings");
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings[1].contains(settingsPath()));
    EXPECT_TRUE(warnings[1].contains(damaged.setAsidePath()));
}

TEST(JsonFileUserDefaultsTest, ASaveThatFitsTheWriteBufferOnANearlyFullDiskIsReportedAsAFullDisk) {
    const QString disk = test::temporaryHome() + QStringLiteral("/disk");
    const QString folder = disk + QStringLiteral("/Glidra");
    const QString path = folder + QStringLiteral("/settings.json");
    const bool ran = test::onSmallFileSystem(disk, 64 * 1024, [&] {
        linux_platform::JsonFileUserDefaults defaults(path);
        ASSERT_TRUE(defaults.setValue(QStringLiteral("kept"), true));
        const QByteArray before = fileContents(path);
        // 8 KiB free, a document of some 12 KiB: short of Qt's write buffer,
        // so it reaches the disk only as the buffer is flushed.
        test::fillUp(disk, QStringLiteral("filler"), 8192);
        EXPECT_FALSE(defaults.setValue(QStringLiteral("large"), QByteArray(9000, 'p')));
        EXPECT_EQ(defaults.failure(), QStringLiteral("设置文件夹 %1 所在的磁盘已满。").arg(folder));
        EXPECT_EQ(fileContents(path), before);
        EXPECT_EQ(folderEntries(folder), QStringList{QStringLiteral("settings.json")});
    });
    if (!ran) GTEST_SKIP() << "a small tmpfs is mounted only as root, where mounting is allowed";
}

TEST(JsonFileUserDefaultsTest, AKeySavedOnceIsNotWrittenAgainOverAnotherWritersLaterChange) {
    linux_platform::JsonFileUserDefaults first(settingsPath());
    linux_platform::JsonFileUserDefaults second(settingsPath());
    ASSERT_TRUE(first.setValue(QStringLiteral("shared"), std::int64_t(1)));
    ASSERT_TRUE(second.setValue(QStringLiteral("shared"), std::int64_t(2)));
    // The first one's next save carries only what it changed since.
    ASSERT_TRUE(first.setValue(QStringLiteral("other"), true));
    ASSERT_TRUE(first.removeValue(QStringLiteral("other")));
    linux_platform::JsonFileUserDefaults reopened(settingsPath());
    EXPECT_EQ(reopened.value(QStringLiteral("shared")), DefaultsValue(std::int64_t(2)));
}

TEST(JsonFileUserDefaultsTest, AFileThatBecameUnreadableSinceLoadingIsNotWrittenOver) {
    const QByteArray stored = R"({"kept": {"bool": true}, "theirs": {"integer": 3}})";
    writeFile(settingsPath(), stored);
    linux_platform::JsonFileUserDefaults defaults(settingsPath());
    ASSERT_TRUE(QFile::setPermissions(settingsPath(), QFileDevice::WriteOwner));
    {
        const test::FilePermissionsEnforced enforced;
        QFile probe(settingsPath());
        if (probe.open(QIODevice::ReadOnly)) GTEST_SKIP() << "file permissions do not hold here";
        EXPECT_FALSE(defaults.setValue(QStringLiteral("kept"), false));
    }
    ASSERT_TRUE(QFile::setPermissions(settingsPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_TRUE(defaults.failure().startsWith(QStringLiteral("无法读取设置文件 %1：").arg(settingsPath())))
        << defaults.failure().toStdString();
    EXPECT_EQ(fileContents(settingsPath()), stored);
}

// A damaged file is kept for the user by moving it aside; where that fails
// (here: the name of the copy would be too long for the file system, as a
// file bound into place or on a mount refusing renames would be), nothing may
// be written in its place: not the defaults, not this process's keys, and
// not over the user's repair of it either.
TEST(JsonFileUserDefaultsTest, ADamagedFileThatCannotBeMovedAsideIsNeverWrittenOver) {
    const QString path = test::temporaryHome() + QStringLiteral("/.config/Glidra/") + QString(235, QLatin1Char('s')) +
                         QStringLiteral(".json");
    const QByteArray damaged = "{\"kept\": ";
    const QByteArray repaired = R"({"kept": {"bool": true}})";
    for (const bool damagedAtStart : {true, false}) {
        SCOPED_TRACE(damagedAtStart ? "damaged at start" : "damaged after loading");
        writeFile(path, damagedAtStart ? damaged : repaired);
        linux_platform::JsonFileUserDefaults defaults(path);
        if (!damagedAtStart) writeFile(path, damaged);

        EXPECT_FALSE(defaults.setValue(QStringLiteral("kept"), false));
        EXPECT_TRUE(defaults.failure().startsWith(QStringLiteral("无法将损坏的设置文件 %1 移到一旁：").arg(path)))
            << defaults.failure().toStdString();
        EXPECT_EQ(fileContents(path), damaged);
        EXPECT_TRUE(defaults.setAsidePath().isEmpty());

        // The user mends it; what this process holds still goes nowhere.
        writeFile(path, repaired);
        if (damagedAtStart) {
            EXPECT_FALSE(defaults.setValue(QStringLiteral("kept"), false));
            EXPECT_EQ(fileContents(path), repaired);
        }
    }
}

TEST(JsonFileUserDefaultsTest, ADocumentPastTheSizeLimitIsTakenAsDamagedThoughItsStartIsAWholeDocument) {
    const QByteArray document = R"({"kept": {"bool": true}})";
    struct Case {
        qint64 limit;
        qsizetype padding;
        bool read;
    };
    // The larger limit takes a file read in several pieces.
    for (const Case c :
         {Case{1000, 1000 - document.size(), true}, Case{1000, 1001 - document.size(), false}, Case{1000, 2000, false},
          Case{100000, 100000 - document.size(), true}, Case{100000, 100001 - document.size(), false}}) {
        SCOPED_TRACE(testing::Message() << c.limit << " " << c.padding);
        writeFile(settingsPath(), document + QByteArray(c.padding, ' '));
        linux_platform::JsonFileUserDefaults defaults(settingsPath(), std::chrono::seconds(5), c.limit);
        EXPECT_EQ(defaults.value(QStringLiteral("kept")).has_value(), c.read);
        EXPECT_EQ(defaults.setAsidePath().isEmpty(), c.read);
        if (!c.read) {
            EXPECT_EQ(fileContents(defaults.setAsidePath()).size(), document.size() + c.padding);
        }
    }
}

// Entries of an unknown kind are told of at the start after they appear, and
// again only when they change: they stay in the file, so without a memory of
// what was told the notice would come back at every start.
TEST(JsonFileUserDefaultsTest, UnreadableEntriesAreToldOnceUntilTheyChange) {
    const QString one =
        QStringLiteral("设置文件 %1 中有 1 项设置无法识别，已保留在文件中，这些设置现使用默认值。").arg(settingsPath());
    const QString two =
        QStringLiteral("设置文件 %1 中有 2 项设置无法识别，已保留在文件中，这些设置现使用默认值。").arg(settingsPath());
    writeFile(settingsPath(), R"({"future": {"date": "2030-01-01"}, "edgeWidth": {"double": 0.1}})");
    {
        linux_platform::JsonFileUserDefaults notShown(settingsPath());
        EXPECT_EQ(notShown.unreadableNotice(), one);
    }
    {
        // Found, but never shown (the window stayed closed): told again.
        linux_platform::JsonFileUserDefaults shown(settingsPath());
        EXPECT_EQ(shown.unreadableNotice(), one);
        shown.unreadableNoticeShown();
        EXPECT_TRUE(shown.failure().isEmpty());
    }
    {
        linux_platform::JsonFileUserDefaults later(settingsPath());
        EXPECT_TRUE(later.unreadableNotice().isEmpty());
        EXPECT_EQ(later.unreadableEntryCount(), 1);
        EXPECT_EQ(later.number(QStringLiteral("edgeWidth")), 0.1);
        ASSERT_TRUE(later.setValue(QStringLiteral("edgeWidth"), 0.2));
    }
    EXPECT_TRUE(fileContents(settingsPath()).contains("2030-01-01"));
    EXPECT_TRUE(linux_platform::JsonFileUserDefaults(settingsPath()).unreadableNotice().isEmpty());

    // Another entry of no known kind, or the same key holding another value:
    // a new set, told again.
    QByteArray stored = fileContents(settingsPath());
    stored.replace("\"future\"", "\"past\": {\"date\": \"1999-01-01\"}, \"future\"");
    writeFile(settingsPath(), stored);
    {
        linux_platform::JsonFileUserDefaults changed(settingsPath());
        EXPECT_EQ(changed.unreadableNotice(), two);
        changed.unreadableNoticeShown();
    }
    EXPECT_TRUE(linux_platform::JsonFileUserDefaults(settingsPath()).unreadableNotice().isEmpty());
    stored = fileContents(settingsPath());
    stored.replace("2030-01-01", "2031-01-01");
    writeFile(settingsPath(), stored);
    EXPECT_EQ(linux_platform::JsonFileUserDefaults(settingsPath()).unreadableNotice(), two);
}

mode_t modeOf(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return 0;
    return status.st_mode & 07777;
}

// The settings are the user's alone, as a mail client's mail is: made so, and
// made so at start where an earlier version or another umask left them open.
TEST(JsonFileUserDefaultsTest, TheFileAndItsFolderAreForTheUserAlone) {
    const mode_t umask = ::umask(022);
    const QString folder = QFileInfo(settingsPath()).absolutePath();
    const QString above = QFileInfo(folder).absolutePath();
    ASSERT_EQ(::chmod(QFile::encodeName(above).constData(), 0755), 0);
    {
        linux_platform::JsonFileUserDefaults made(settingsPath());
        ASSERT_TRUE(made.setValue(QStringLiteral("a"), true));
        EXPECT_EQ(modeOf(folder), 0700u);
        EXPECT_EQ(modeOf(settingsPath()), 0600u);
        EXPECT_EQ(modeOf(above), 0755u) << "the folders above are not ours";

        // Opened for others since: the next save closes it again.
        ASSERT_EQ(::chmod(QFile::encodeName(settingsPath()).constData(), 0644), 0);
        ASSERT_TRUE(made.setValue(QStringLiteral("b"), true));
        EXPECT_EQ(modeOf(settingsPath()), 0600u);
    }
    struct Case {
        mode_t folder;
        mode_t file;
        mode_t folderAfter;
        mode_t fileAfter;
    };
    for (const Case c : {Case{0755, 0644, 0700, 0600}, Case{0750, 0660, 0700, 0600}, Case{0700, 0444, 0700, 0400},
                         Case{0700, 0600, 0700, 0600}}) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.folder, 0, 8).arg(c.file, 0, 8).toStdString());
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), c.folder), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(settingsPath()).constData(), c.file), 0);
        // Starting is enough; nothing needs to be written.
        const linux_platform::JsonFileUserDefaults started(settingsPath());
        EXPECT_EQ(modeOf(folder), c.folderAfter);
        EXPECT_EQ(modeOf(settingsPath()), c.fileAfter);
        EXPECT_EQ(started.boolean(QStringLiteral("b")), true);
    }
    ::chmod(QFile::encodeName(settingsPath()).constData(), 0600);
    ::umask(umask);
}

// What a save cut short by a kill leaves: QSaveFile's copy under the file's
// name and six letters, removed at the next start unless a save may be under
// way; nothing else is touched.
TEST(JsonFileUserDefaultsTest, ACopyLeftByASaveCutShortIsRemovedAtStart) {
    const QString folder = QFileInfo(settingsPath()).absolutePath();
    writeFile(settingsPath(), R"({"kept": {"bool": true}})");
    const QStringList others{
        QStringLiteral("settings.json.unreadable-20250101-120000"),
        QStringLiteral("settings.json.Ab3dE"),
        QStringLiteral("settings.json.Ab-dEf"),
        QStringLiteral("other.json.AbCdEf"),
    };
    for (const QString& name : others + QStringList{QStringLiteral("settings.json.WydllM")}) {
        writeFile(folder + QLatin1Char('/') + name, "{\"half\": ");
    }
    QStringList expected = others + QStringList{QStringLiteral("settings.json")};
    expected.sort();
    {
        // Another writer holds the lock: its copy may be a save under way.
        QLockFile otherWriter(settingsPath() + QStringLiteral(".lock"));
        ASSERT_TRUE(otherWriter.tryLock(0));
        const linux_platform::JsonFileUserDefaults meanwhile(settingsPath(), std::chrono::milliseconds(0));
        EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/settings.json.WydllM")));
    }
    const linux_platform::JsonFileUserDefaults started(settingsPath());
    QStringList left = folderEntries(folder);
    left.sort();
    EXPECT_EQ(left, expected);
    EXPECT_EQ(started.boolean(QStringLiteral("kept")), true);
}

TEST(UserDefaultsTest, BooleanReadingOfTheStore) {
    struct Case {
        std::optional<DefaultsValue> stored;
        bool expected;
    };
    const Case cases[] = {
        {std::nullopt, false},
        {DefaultsValue(true), true},
        {DefaultsValue(std::int64_t(2)), true},
        {DefaultsValue(std::int64_t(0)), false},
        {DefaultsValue(0.5), true},
        {DefaultsValue(QStringLiteral("YES")), true},
        {DefaultsValue(QStringLiteral("no")), false},
        {DefaultsValue(QByteArray("1")), false},
    };
    for (const auto& c : cases) {
        sim::SimUserDefaults defaults;
        if (c.stored) defaults.preload(QStringLiteral("k"), *c.stored);
        EXPECT_EQ(defaults.boolValue(QStringLiteral("k")), c.expected) << c.stored.has_value();
    }
}

}  // namespace
}  // namespace glidra
