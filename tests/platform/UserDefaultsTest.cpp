#include "platform/linux/JsonFileUserDefaults.h"
#include "platform/sim/SimUserDefaults.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"

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

    ASSERT_TRUE(defaults.setValue(QStringLiteral("restoreEnabled"), true));
    EXPECT_EQ(linux_platform::JsonFileUserDefaults(settingsPath()).boolean(QStringLiteral("restoreEnabled")), true);
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
