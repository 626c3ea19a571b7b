#include "replay/Replay.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace glidra::replay {
namespace {

QString recording(const char* name) {
    return QStringLiteral(GLIDRA_TEST_DATA_DIR "/recordings/") + QLatin1String(name) + QStringLiteral(".events");
}

struct CommandResult {
    int status;
    QString out;
    QString err;
};

CommandResult run(const QStringList& arguments) {
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int status = runCommand(arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {status, out, err};
}

// "kind fingers" for each gesture line, e.g. "tap 2".
QStringList summarise(const QString& out) {
    QStringList gestures;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QJsonObject gesture = QJsonDocument::fromJson(line.toUtf8()).object().value(u"gesture").toObject();
        QString text =
            gesture.value(u"kind").toString() + QLatin1Char(' ') + QString::number(gesture.value(u"fingers").toInt());
        if (gesture.value(u"kind").toString() == QLatin1String("tap")) {
            text += QStringLiteral(" x") + QString::number(gesture.value(u"tapCount").toInt());
        }
        gestures.append(text);
    }
    return gestures;
}

// What a person sees in each recording, as the engine reports it.
TEST(ReplayTest, EveryBundledRecordingReplaysAsAPersonWouldDescribeIt) {
    struct Case {
        const char* file;
        QStringList gestures;
    };
    const Case cases[] = {
        {"CyPS2_Cypress_Trackpad.two_finger_tap", {QStringLiteral("tap 2 x1")}},
        // Only two slots: the third finger is known from the finger count.
        {"CyPS2_Cypress_Trackpad.three_finger_tap", {QStringLiteral("tap 3 x1")}},
        // The pad's button press reaches the click monitor as a physical click.
        {"CyPS2_Cypress_Trackpad.two_finger_press", {QStringLiteral("click 2")}},
        {"CyPS2_Cypress_Trackpad.three_finger_press", {QStringLiteral("click 3")}},
        // A slide along the edge is a swipe, never a tap.
        {"AlpsPS2_ALPS_GlidePoint.right-edge-scroll", {QStringLiteral("swipe 1")}},
        // This pad's landings jump several hundredths of the pad within 20 ms,
        // beyond every level's travel threshold: its taps are not recognised.
        {"AlpsPS2_ALPS_GlidePoint.single-tap", {}},
        {"AlpsPS2_ALPS_GlidePoint.double-tap", {}},
        {"AlpsPS2_ALPS_GlidePoint.2-finger-tap", {}},
        // Scrolling fingers are never taps; long back-and-forth scrolls with
        // two fingers give nothing the rules know.
        {"SynPS2_Synaptics_TouchPad.hp8470p.edge-scroll-vertical", {}},
        {"SynPS2_Synaptics_TouchPad.hp8470p.two-finger-scroll-horizontal", {}},
        {"SynPS2_Synaptics_TouchPad.two-finger-vert-scroll", {}},
        {"SynPS2_Synaptics_TouchPad.hp8470p.edge-scroll-horizontal",
         {QStringLiteral("swipe 1"), QStringLiteral("swipe 1"), QStringLiteral("backAndForth 1")}},
        // The fingers rest about half a second before they move, which makes
        // these hold-swipes rather than a swipe and a circle.
        {"Wacom_Bamboo_16FG_4x5_Finger_double-top-swipe", {QStringLiteral("holdSwipe 2")}},
        {"Wacom_Bamboo_16FG_4x5_Finger_single-center-circle", {QStringLiteral("holdSwipe 1")}},
    };
    for (const Case& c : cases) {
        const auto result = run({recording(c.file)});
        EXPECT_EQ(result.status, 0) << c.file << result.err;
        EXPECT_EQ(summarise(result.out), c.gestures) << c.file;
    }
}

TEST(ReplayTest, PrintsTheDescriptorInTheModelsJsonAtTheHandlersTime) {
    const auto result = run({recording("CyPS2_Cypress_Trackpad.two_finger_tap")});
    ASSERT_EQ(result.status, 0) << result.err;
    const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1);
    const QJsonObject line = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(line.keys(), (QStringList{QStringLiteral("gesture"), QStringLiteral("t")}));
    const auto gesture = GestureDescriptor::fromJson(line.value(u"gesture"), {});
    ASSERT_TRUE(gesture.ok());
    EXPECT_EQ(gesture->kind, GestureDescriptor::Kind::tap);
    EXPECT_EQ(gesture->fingers, 2);
    // Practice mode holds a tap back 0.4 s for a further tap: the handler gets
    // it when that wait ends, in whole milliseconds.
    const double t = line.value(u"t").toDouble();
    EXPECT_EQ(t, std::round(t * 1000) / 1000);
    EXPECT_GT(t, 0.4);
    EXPECT_TRUE(result.err.isEmpty());
}

TEST(ReplayTest, AcceptsTheLevelOptions) {
    const auto relaxed = run(
        {QStringLiteral("--level"), QStringLiteral("relaxed"), recording("AlpsPS2_ALPS_GlidePoint.right-edge-scroll")});
    EXPECT_EQ(relaxed.status, 0);
    EXPECT_EQ(summarise(relaxed.out), QStringList{QStringLiteral("swipe 1")});
    const auto firm = run(
        {QStringLiteral("--force-level"), QStringLiteral("firm"), recording("CyPS2_Cypress_Trackpad.two_finger_tap")});
    EXPECT_EQ(firm.status, 0);
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

TEST(ReplayTest, BadInputGetsOneClearErrorAndStatusTwo) {
    const QString dir = test::temporaryHome();
    writeFile(dir + QStringLiteral("/not-evemu.txt"), "hello\nworld\n");
    writeFile(dir + QStringLiteral("/no-mt.events"),
              "N: keyboard\nA: 00 0 100 0 0 0\nA: 01 0 100 0 0 0\nE: 0.000000 0003 0000 0010\n"
              "E: 0.000000 0000 0000 0000\n");
    writeFile(dir + QStringLiteral("/truncated.events"),
              "N: pad\nA: 35 0 100 0 0 0\nA: 36 0 100 0 0 0\nA: 2f 0 1 0 0 0\nA: 39 0 65535 0 0 0\nE: 0.000000 0003\n");
    writeFile(dir + QStringLiteral("/garbage.events"), QByteArray("\x00\x01\xff\xfe garbage", 12));

    struct Case {
        QStringList arguments;
        const char* what;
    };
    const Case cases[] = {
        {{}, "no recording"},
        {{dir + QStringLiteral("/missing.events")}, "a missing file"},
        {{dir + QStringLiteral("/not-evemu.txt")}, "a file that is not evemu"},
        {{dir + QStringLiteral("/no-mt.events")}, "a device without multitouch axes"},
        {{dir + QStringLiteral("/truncated.events")}, "a truncated line"},
        {{dir + QStringLiteral("/garbage.events")}, "garbage bytes"},
        {{QStringLiteral("--level"), QStringLiteral("fast"), recording("CyPS2_Cypress_Trackpad.two_finger_tap")},
         "an unknown level"},
        {{QStringLiteral("--force-level")}, "a missing option value"},
        {{QStringLiteral("--frobnicate"), recording("CyPS2_Cypress_Trackpad.two_finger_tap")}, "an unknown option"},
        {{recording("CyPS2_Cypress_Trackpad.two_finger_tap"), recording("CyPS2_Cypress_Trackpad.two_finger_tap")},
         "two recordings"},
    };
    for (const Case& c : cases) {
        const auto result = run(c.arguments);
        EXPECT_EQ(result.status, 2) << c.what;
        EXPECT_TRUE(result.out.isEmpty()) << c.what;
        EXPECT_FALSE(result.err.trimmed().isEmpty()) << c.what;
    }
}

TEST(ReplayTest, ARecordingWithoutHeaderIsReplayedWithAWarning) {
    // Ranges taken from the values themselves stretch small motions, so use a
    // recording whose motion spans the pad.
    QFile source(recording("Wacom_Bamboo_16FG_4x5_Finger_double-top-swipe"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QByteArray events;
    for (const QByteArray& line : source.readAll().split('\n')) {
        if (line.startsWith("E:")) events += line + '\n';
    }
    const QString path = test::temporaryHome() + QStringLiteral("/headerless.events");
    writeFile(path, events);
    const auto result = run({path});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.err.contains(QStringLiteral("warning"))) << result.err;
    EXPECT_EQ(summarise(result.out), QStringList{QStringLiteral("holdSwipe 2")});
}

}  // namespace
}  // namespace glidra::replay
