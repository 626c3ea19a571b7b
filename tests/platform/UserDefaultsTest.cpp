#include "platform/linux/JsonFileUserDefaults.h"
#include "platform/sim/SimUserDefaults.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"
#include "support/WriteFailures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

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
