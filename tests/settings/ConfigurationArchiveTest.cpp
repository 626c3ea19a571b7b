#include "settings/ConfigurationArchive.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>
#include <QTimeZone>

#include <optional>

namespace glidra {
namespace {

using Error = ConfigurationArchiveError;

QString archivePath(const char* name) {
    return QStringLiteral(GLIDRA_TEST_DATA_DIR "/archives/") + QLatin1StringView(name);
}

QByteArray fixture(const char* name) {
    QFile file(archivePath(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

struct DocumentCase {
    const char* file;
    std::optional<Error> error;  // nothing: the document is accepted
    const char* message;         // the text the user sees for the error
};

constexpr const char* fileText = "无法识别此配置，请选择 Glidra 导出的配置文件。";
constexpr const char* versionText = "此配置的格式版本不受支持，请使用相应版本的 Glidra。";
constexpr const char* valuesText = "配置中的灵敏度或边缘宽度超出有效范围。";
constexpr const char* gesturesText = "手势配置包含重复规则或无效的指头数量、触发区域。";
constexpr const char* edgesText = "边缘配置不完整或包含无效的方向设置。";

const DocumentCase documentCases[] = {
    {"valid-minimal.json", std::nullopt, nullptr},
    {"valid-all-fields.json", std::nullopt, nullptr},
    {"valid-unknown-keys.json", std::nullopt, nullptr},
    {"valid-lower-bounds.json", std::nullopt, nullptr},
    {"valid-upper-bounds.json", std::nullopt, nullptr},
    {"valid-bindings-reordered.json", std::nullopt, nullptr},
    {"valid-identifiers-differ-by-space.json", std::nullopt, nullptr},
    {"valid-disjoint-rectangles-outside-custom.json", std::nullopt, nullptr},

    {"file-empty.json", Error::invalidFile, fileText},
    {"file-not-json.json", Error::invalidFile, fileText},
    {"file-truncated.json", Error::invalidFile, fileText},
    {"file-array.json", Error::invalidFile, fileText},
    {"file-empty-object.json", Error::invalidFile, fileText},
    {"file-format-lower-case.json", Error::invalidFile, fileText},
    {"file-format-number.json", Error::invalidFile, fileText},
    {"file-format-missing.json", Error::invalidFile, fileText},
    {"file-edge-width-missing.json", Error::invalidFile, fileText},
    {"file-sensitivity-string.json", Error::invalidFile, fileText},
    {"file-gestures-object.json", Error::invalidFile, fileText},
    {"file-unknown-action.json", Error::invalidFile, fileText},
    {"file-malformed-id.json", Error::invalidFile, fileText},
    {"file-unknown-trigger.json", Error::invalidFile, fileText},
    {"file-optional-wrong-type.json", Error::invalidFile, fileText},
    {"file-fractional-finger-count.json", Error::invalidFile, fileText},

    {"version-2.json", Error::unsupportedVersion, versionText},
    {"version-string.json", Error::unsupportedVersion, versionText},
    {"version-missing.json", Error::unsupportedVersion, versionText},
    {"version-fraction.json", Error::unsupportedVersion, versionText},
    {"version-2-other-fields-unknown.json", Error::unsupportedVersion, versionText},

    {"values-sensitivity-low.json", Error::invalidValues, valuesText},
    {"values-sensitivity-high.json", Error::invalidValues, valuesText},
    {"values-edge-width-low.json", Error::invalidValues, valuesText},
    {"values-edge-width-high.json", Error::invalidValues, valuesText},
    {"values-duplicate-application.json", Error::invalidValues, valuesText},
    {"values-blank-application.json", Error::invalidValues, valuesText},

    {"gestures-duplicate-id.json", Error::invalidGestures, gesturesText},
    {"gestures-pinch-one-finger.json", Error::invalidGestures, gesturesText},
    {"gestures-rotate-three-fingers.json", Error::invalidGestures, gesturesText},
    {"gestures-five-fingers.json", Error::invalidGestures, gesturesText},
    {"gestures-tap-count-0.json", Error::invalidGestures, gesturesText},
    {"gestures-tap-count-4.json", Error::invalidGestures, gesturesText},
    {"gestures-ten-rectangles.json", Error::invalidGestures, gesturesText},
    {"gestures-empty-rectangle-list.json", Error::invalidGestures, gesturesText},
    {"gestures-disjoint-custom-rectangles.json", Error::invalidGestures, gesturesText},
    {"gestures-custom-without-rectangle.json", Error::invalidGestures, gesturesText},
    {"gestures-rectangle-outside-pad.json", Error::invalidGestures, gesturesText},
    {"gestures-rectangle-too-thin.json", Error::invalidGestures, gesturesText},

    {"edges-15-bindings.json", Error::invalidEdges, edgesText},
    {"edges-17-bindings.json", Error::invalidEdges, edgesText},
    {"edges-trigger-twice.json", Error::invalidEdges, edgesText},
    {"edges-unknown-edge.json", Error::invalidEdges, edgesText},
    {"edges-merged-custom.json", Error::invalidEdges, edgesText},
    {"edges-split-wrong-triggers.json", Error::invalidEdges, edgesText},
    {"edges-split-one-binding.json", Error::invalidEdges, edgesText},

    // The first failed check decides.
    {"order-format-before-version.json", Error::invalidFile, fileText},
    {"order-version-before-decoding.json", Error::unsupportedVersion, versionText},
    {"order-values-before-gestures.json", Error::invalidValues, valuesText},
    {"order-gestures-before-edges.json", Error::invalidGestures, gesturesText},
};

TEST(ConfigurationArchive, DecodesEachDocumentToItsOutcome) {
    // Every fixture is listed, so a new one cannot slip by untested.
    const QStringList files = QDir(archivePath("")).entryList(QDir::Files);
    EXPECT_EQ(files.size(), qsizetype(std::size(documentCases)));

    for (const DocumentCase& row : documentCases) {
        SCOPED_TRACE(row.file);
        const auto result = ConfigurationArchive::decode(fixture(row.file));
        if (!row.error) {
            ASSERT_TRUE(result.ok()) << enumRaw(result.error()).toStdString();
            // What was accepted also writes and reads back unchanged.
            const auto encoded = result->encoded();
            ASSERT_TRUE(encoded.ok());
            const auto again = ConfigurationArchive::decode(encoded.value());
            ASSERT_TRUE(again.ok());
            EXPECT_EQ(again.value(), result.value());
            continue;
        }
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error(), *row.error);
        EXPECT_EQ(localizedDescription(result.error()), QString::fromUtf8(row.message));

        // Reading the file through a device gives the same answer.
        QFile file(archivePath(row.file));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const auto fromDevice = ConfigurationArchive::decode(file);
        ASSERT_FALSE(fromDevice.ok());
        EXPECT_EQ(fromDevice.error(), *row.error);
    }
}

TEST(ConfigurationArchive, ReadsEveryFieldOfTheDocument) {
    const auto archive = ConfigurationArchive::decode(fixture("valid-all-fields.json"));
    ASSERT_TRUE(archive.ok());
    EXPECT_EQ(archive->exportedAt, QStringLiteral("2026-12-07T22:54:39Z"));
    EXPECT_EQ(archive->appVersion, QStringLiteral("1.0"));
    ASSERT_EQ(archive->gestures.size(), 2u);
    EXPECT_EQ(archive->gestures[0].gesture.kind, GestureDescriptor::Kind::pinchIn);
    ASSERT_TRUE(archive->gestures[0].customRegions);
    EXPECT_EQ(archive->gestures[0].customRegions->size(), 2u);
    EXPECT_EQ(archive->gestures[1].parameters->website, QStringLiteral("https://example.com/a/b"));
    EXPECT_EQ(archive->bindings, GestureBinding::defaultBindings());
    ASSERT_EQ(archive->edges.size(), 2u);
    EXPECT_TRUE(archive->edges.at(QStringLiteral("left")).isSplit);
    EXPECT_EQ(archive->edges.at(QStringLiteral("top")).mergedMode, EdgeControlMode::music);
    EXPECT_EQ(archive->showOperationHints, false);
    EXPECT_EQ(archive->recognitionLevel, GestureRecognitionLevel::deliberate);
    EXPECT_EQ(archive->typingProtectionEnabled, false);
    EXPECT_EQ(archive->operationHintPosition, HUDPosition::topRight);
    EXPECT_EQ(archive->locksPointerDuringEdgeAdjustments, true);
    EXPECT_EQ(archive->disabledApplications,
              (std::vector<DisabledApplication>{{QStringLiteral("com.apple.Terminal"), QStringLiteral("终端")}}));

    // Optional fields that are missing read as absent.
    const auto minimal = ConfigurationArchive::decode(fixture("valid-minimal.json"));
    ASSERT_TRUE(minimal.ok());
    EXPECT_FALSE(minimal->showOperationHints || minimal->recognitionLevel || minimal->disabledApplications ||
                 minimal->typingProtectionEnabled || minimal->operationHintPosition ||
                 minimal->locksPointerDuringEdgeAdjustments);
}

TEST(ConfigurationArchive, CountsAreBounded) {
    auto archive = ConfigurationArchive::decode(fixture("valid-minimal.json")).value();
    archive.gestures.clear();

    auto applications = std::vector<DisabledApplication>(1000);
    for (int i = 0; i < 1000; ++i) applications[size_t(i)].bundleIdentifier = QStringLiteral("com.app%1").arg(i);
    archive.disabledApplications = applications;
    EXPECT_TRUE(archive.validate().ok());
    applications.push_back({QStringLiteral("com.one.more"), {}});
    archive.disabledApplications = applications;
    EXPECT_EQ(archive.validate().error(), Error::invalidValues);
    archive.disabledApplications.reset();

    archive.gestures.resize(1000);  // each a fresh id
    EXPECT_TRUE(archive.validate().ok());
    archive.gestures.emplace_back();
    EXPECT_EQ(archive.validate().error(), Error::invalidGestures);
}

// A minimal valid document, padded with trailing white space to `size` bytes.
QByteArray paddedDocument(qint64 size) {
    QByteArray data = fixture("valid-minimal.json");
    data.append(QByteArray(size - data.size(), ' '));
    return data;
}

TEST(ConfigurationArchive, SizeLimitHoldsAtExactlyTenMebibytes) {
    EXPECT_TRUE(ConfigurationArchive::decode(paddedDocument(ConfigurationArchive::maximumSize)).ok());
    const auto tooLarge = ConfigurationArchive::decode(paddedDocument(ConfigurationArchive::maximumSize + 1));
    EXPECT_EQ(tooLarge.error(), Error::tooLarge);
    EXPECT_EQ(localizedDescription(tooLarge.error()), QStringLiteral("配置文件过大，请选择小于 10 MB 的文件。"));

    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(paddedDocument(ConfigurationArchive::maximumSize + 1));
    file.seek(0);
    EXPECT_EQ(ConfigurationArchive::decode(file).error(), Error::tooLarge);
}

// A pipe-like device that never ends and counts what was taken from it.
class EndlessDevice final : public QIODevice {
public:
    EndlessDevice() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 1 << 20; }
    qint64 taken = 0;

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        std::fill_n(data, maxSize, ' ');
        taken += maxSize;
        return maxSize;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

TEST(ConfigurationArchive, StopsReadingOneBytePastTheLimit) {
    EndlessDevice device;
    EXPECT_EQ(ConfigurationArchive::decode(device).error(), Error::tooLarge);
    // QIODevice may buffer ahead a little, never a second copy of the file.
    EXPECT_LE(device.taken, ConfigurationArchive::maximumSize + 64 * 1024);
}

TEST(ConfigurationArchive, WritesSortedPrettyJsonWithPlainSlashes) {
    const auto archive = ConfigurationArchive::decode(fixture("valid-all-fields.json")).value();
    const QByteArray data = archive.encoded().value();

    EXPECT_TRUE(data.contains("\"website\": \"https://example.com/a/b\"")) << data.toStdString();
    EXPECT_FALSE(data.contains("\\/"));
    EXPECT_TRUE(data.contains("\n    \"appVersion\""));  // one key a line, indented

    // Keys appear in sorted order, nested objects included: the top level,
    // then the first rule ("appBundleID" before "gesture" before "id").
    const QJsonObject object = QJsonDocument::fromJson(data).object();
    qsizetype last = -1;
    for (const QString& key : object.keys()) {  // keys() is sorted
        const qsizetype at = data.indexOf("\n    \"" + key.toUtf8() + "\":");
        EXPECT_GT(at, last) << key.toStdString();
        last = at;
    }
    const qsizetype rule = data.indexOf("\"gestures\"");
    EXPECT_LT(data.indexOf("\"appBundleID\"", rule), data.indexOf("\"gesture\":", rule));
    EXPECT_LT(data.indexOf("\"gesture\":", rule), data.indexOf("\"id\"", rule));
}

TEST(ConfigurationArchive, WritingRefusesWhatReadingWould) {
    auto archive = ConfigurationArchive::decode(fixture("valid-minimal.json")).value();
    archive.sensitivity = 3.5;
    EXPECT_EQ(archive.encoded().error(), Error::invalidValues);

    archive.sensitivity = 1;
    archive.gestures[0].appBundleID = QString(int(ConfigurationArchive::maximumSize), u'a');
    EXPECT_EQ(archive.encoded().error(), Error::tooLarge);
}

TEST(ConfigurationArchive, WritesTheExportTimeInUtcWithWholeSeconds) {
    const QDateTime time(QDate(2026, 12, 8), QTime(6, 54, 39, 750), QTimeZone(8 * 3600));
    EXPECT_EQ(ConfigurationArchive::exportDate(time), QStringLiteral("2026-12-07T22:54:39Z"));
}

TEST(ConfigurationArchive, NamesTheVersionTheApplicationReports) {
    const QString saved = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QStringLiteral("2.7.1"));
    EXPECT_EQ(ConfigurationArchive::currentAppVersion(), QStringLiteral("2.7.1"));
    QCoreApplication::setApplicationVersion(saved);
}

}  // namespace
}  // namespace glidra
