#include "replay/Replay.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <sys/stat.h>

#include <array>
#include <vector>

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
        // The first slide runs along the bottom edge: it is the edge's (next
        // tab), not a gesture.
        {"SynPS2_Synaptics_TouchPad.hp8470p.edge-scroll-horizontal",
         {QStringLiteral("swipe 1"), QStringLiteral("backAndForth 1")}},
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

QJsonObject onlyLine(const CommandResult& result) {
    const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.size() == 1 ? QJsonDocument::fromJson(lines[0].toUtf8()).object() : QJsonObject{};
}

TEST(ReplayTest, PrintsTheDescriptorInTheModelsJsonAtTheHandlersTime) {
    const auto swipe = run({recording("AlpsPS2_ALPS_GlidePoint.right-edge-scroll")});
    ASSERT_EQ(swipe.status, 0) << swipe.err;
    const auto swiped = GestureDescriptor::fromJson(onlyLine(swipe).value(u"gesture"), {});
    ASSERT_TRUE(swiped.ok()) << swipe.out;
    EXPECT_EQ(*swiped, (GestureDescriptor{GestureDescriptor::Kind::swipe, 1, GestureDescriptor::Direction::up, 1}));

    // A tap has no direction: the descriptor's placeholder is left out.
    const auto tap = run({recording("CyPS2_Cypress_Trackpad.two_finger_tap")});
    ASSERT_EQ(tap.status, 0) << tap.err;
    const QJsonObject line = onlyLine(tap);
    EXPECT_EQ(line.keys(), (QStringList{QStringLiteral("gesture"), QStringLiteral("t")}));
    EXPECT_EQ(line.value(u"gesture").toObject(), (QJsonObject{{QStringLiteral("kind"), QStringLiteral("tap")},
                                                              {QStringLiteral("fingers"), 2},
                                                              {QStringLiteral("tapCount"), 1}}));
    // Practice mode holds a tap back 0.4 s for a further tap: the handler gets
    // it when that wait ends, in whole milliseconds.
    const double t = line.value(u"t").toDouble();
    EXPECT_EQ(t, std::round(t * 1000) / 1000);
    EXPECT_GT(t, 0.4);
    EXPECT_TRUE(tap.err.isEmpty());
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Fingers of a two-slot pad, one frame every 10 ms until they lift; x, y and
// pressure of each finger in thousandths of the axes' ranges.
using Finger = std::array<int, 3>;
QByteArray syntheticRecording(bool pressurePad, const std::vector<std::vector<Finger>>& frames) {
    QByteArray text = "N: Synthetic Pad\n";
    if (pressurePad) text += "P: 80\n";  // INPUT_PROP_PRESSUREPAD
    text += "A: 2f 0 1 0 0 0\nA: 35 0 1000 0 0 0\nA: 36 0 1000 0 0 0\nA: 39 0 65535 0 0 0\nA: 3a 0 1000 0 0 0\n";
    const auto event = [&text](std::size_t frame, const char* typeAndCode, int value) {
        text += "E: 0." + QByteArray::number(qulonglong(frame * 10000)).rightJustified(6, '0') + ' ' + typeAndCode +
                ' ' + QByteArray::number(value) + '\n';
    };
    const std::size_t fingers = frames.empty() ? 0 : frames.front().size();
    for (std::size_t i = 0; i <= frames.size(); ++i) {
        for (std::size_t slot = 0; slot < fingers; ++slot) {
            event(i, "0003 002f", int(slot));
            if (i == frames.size()) {
                event(i, "0003 0039", -1);
            } else {
                event(i, "0003 0039", int(slot) + 1);
                event(i, "0003 0035", frames[i][slot][0]);
                event(i, "0003 0036", frames[i][slot][1]);
                event(i, "0003 003a", frames[i][slot][2]);
            }
        }
        event(i, "0000 0000", 0);  // SYN_REPORT
    }
    return text;
}

// One finger.
QByteArray syntheticRecording(bool pressurePad, const std::vector<Finger>& frames) {
    std::vector<std::vector<Finger>> fingers;
    for (const Finger& finger : frames) fingers.push_back({finger});
    return syntheticRecording(pressurePad, fingers);
}

TEST(ReplayTest, AcceptsTheLevelOptions) {
    // 0.17 of the pad in 0.1 s: past the standard swipe distance (0.14), short
    // of the deliberate one (0.2).
    std::vector<std::array<int, 3>> swipe;
    for (int i = 0; i <= 10; ++i) swipe.push_back({300 + 17 * i, 500, 20});
    // A still finger pressing with 450 of the pad's 1000: past the standard
    // force threshold (350), short of the firm one (550); held 0.2 s, which
    // is a tap when it is no force press.
    const std::vector<std::array<int, 3>> press(21, {500, 500, 450});
    const QString swipePath = test::temporaryHome() + QStringLiteral("/swipe.events");
    const QString pressPath = test::temporaryHome() + QStringLiteral("/press.events");
    writeFile(swipePath, syntheticRecording(false, swipe));
    writeFile(pressPath, syntheticRecording(true, press));

    struct Case {
        QStringList arguments;
        QStringList gestures;
    };
    const Case cases[] = {
        {{swipePath}, {QStringLiteral("swipe 1")}},
        {{QStringLiteral("--level"), QStringLiteral("deliberate"), swipePath}, {}},
        {{pressPath}, {QStringLiteral("forcePress 1")}},
        {{QStringLiteral("--force-level"), QStringLiteral("firm"), pressPath}, {QStringLiteral("tap 1 x1")}},
    };
    for (const Case& c : cases) {
        const auto result = run(c.arguments);
        EXPECT_EQ(result.status, 0) << c.arguments.join(u' ') << result.err;
        EXPECT_EQ(summarise(result.out), c.gestures) << c.arguments.join(u' ');
    }
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
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + QStringLiteral("/pipe.events")).constData(), 0600), 0);

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
        {{dir + QStringLiteral("/pipe.events")}, "a pipe that nothing writes to"},
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

TEST(ReplayTest, AnAxisLineWithoutRangeIsReplayedWithAWarningThatNamesTheLine) {
    // The two-finger tap, with its pressure axis written 255 to 0 and its
    // touch size 0 to 0.
    QFile source(recording("CyPS2_Cypress_Trackpad.two_finger_tap"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QByteArray edited;
    int number = 0;
    int pressureLine = 0;
    int sizeLine = 0;
    for (const QByteArray& line : source.readAll().split('\n')) {
        ++number;
        if (line.startsWith("A: 3a ")) {
            edited += "A: 3a 255 0 0 0 0\n";
            pressureLine = number;
        } else if (line.startsWith("A: 1c ")) {
            edited += "A: 1c 0 0 0 0 0\n";
            sizeLine = number;
        } else {
            edited += line + '\n';
        }
    }
    ASSERT_GT(pressureLine, 0);
    ASSERT_GT(sizeLine, 0);
    const QString path = test::temporaryHome() + QStringLiteral("/ranges.events");
    writeFile(path, edited);
    const auto result = run({path});
    EXPECT_EQ(result.status, 0) << result.err;
    const QString warning = QStringLiteral("glidra-replay: warning: ") + path +
                            QStringLiteral(": line %1: A: axis %2 has no range: minimum %3\n");
    EXPECT_EQ(result.err,
              warning.arg(sizeLine).arg(QStringLiteral("1c"), QStringLiteral("0 equals maximum 0")) +
                  warning.arg(pressureLine).arg(QStringLiteral("3a"), QStringLiteral("255 is above maximum 0")));
    EXPECT_EQ(summarise(result.out), QStringList{QStringLiteral("tap 2 x1")}) << "the positions are unaffected";
}

// Asked for the usage or the version, it answers on standard output and
// replays nothing, wherever the option stands.
TEST(ReplayTest, HelpAndVersionAreAnsweredNotRefused) {
    const QString tap = recording("CyPS2_Cypress_Trackpad.two_finger_tap");
    const QStringList helps[] = {{QStringLiteral("--help")}, {QStringLiteral("-h")}, {tap, QStringLiteral("--help")}};
    for (const QStringList& arguments : helps) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const auto result = run(arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
        EXPECT_TRUE(result.out.startsWith(QStringLiteral("usage: glidra-replay "))) << result.out.toStdString();
        for (const char* option : {"--level", "--force-level", "--config", "--run", "--help", "--version"}) {
            EXPECT_TRUE(result.out.contains(QLatin1String(option))) << option;
        }
        EXPECT_FALSE(result.out.contains(QStringLiteral("\"gesture\"")));
    }
    const QRegularExpression version(QStringLiteral("^glidra-replay \\d+\\.\\d+\\.\\d+\n$"));
    for (const QStringList& arguments : {QStringList{QStringLiteral("--version")}, QStringList{QStringLiteral("-v")}}) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const auto result = run(arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_TRUE(result.err.isEmpty());
        EXPECT_TRUE(version.match(result.out).hasMatch()) << result.out.toStdString();
    }
}

TEST(ReplayTest, ARecordingWhoseAxesAreNotAllDescribedIsReplayedWithAWarningThatNamesThem) {
    // Ranges taken from the values themselves stretch small motions, so use a
    // recording whose motion spans the pad.
    QFile source(recording("Wacom_Bamboo_16FG_4x5_Finger_double-top-swipe"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QByteArray events;
    QByteArray withoutTouchMajor;
    for (const QByteArray& line : source.readAll().split('\n')) {
        if (line.startsWith("E:")) events += line + '\n';
        if (!line.startsWith("A: 30 ")) withoutTouchMajor += line + '\n';
    }
    const QString dir = test::temporaryHome();
    writeFile(dir + QStringLiteral("/headerless.events"), events);
    writeFile(dir + QStringLiteral("/partial.events"), withoutTouchMajor);

    struct Case {
        const char* file;
        QString warning;
    };
    const Case cases[] = {
        {"/headerless.events",
         QStringLiteral(
             " has no device header; the ranges of ABS_X, ABS_Y, ABS_MT_SLOT, ABS_MT_TOUCH_MAJOR, "
             "ABS_MT_POSITION_X, ABS_MT_POSITION_Y, ABS_MT_TRACKING_ID are taken from the recorded values\n")},
        {"/partial.events", QStringLiteral(": the device header does not describe ABS_MT_TOUCH_MAJOR; its range is "
                                           "taken from the recorded values\n")},
    };
    for (const Case& c : cases) {
        const QString path = dir + QLatin1String(c.file);
        const auto result = run({path});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, QStringLiteral("glidra-replay: warning: ") + path + c.warning);
        EXPECT_EQ(summarise(result.out), QStringList{QStringLiteral("holdSwipe 2")}) << c.file;
    }
}

QString configuration(const char* name) { return QStringLiteral(GLIDRA_TEST_DATA_DIR "/") + QLatin1String(name); }

QStringList lines(const CommandResult& result) { return result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

TEST(ReplayTest, RunsTheActionsAConfigurationBindsOnTheSimulatedSystem) {
    const QString bundled = configuration("configurations/recordings.json");
    const auto tap = run({QStringLiteral("--config"), bundled, QStringLiteral("--run"),
                          recording("CyPS2_Cypress_Trackpad.two_finger_tap")});
    ASSERT_EQ(tap.status, 0) << tap.err;
    // Without practice the tap waits for no further tap: no rule wants one.
    EXPECT_EQ(lines(tap), (QStringList{
                              QStringLiteral(R"({"gesture":{"fingers":2,"kind":"tap","tapCount":1},"t":0.108})"),
                              QStringLiteral(R"({"action":"mouseRightClick","notice":"鼠标右键点击","t":0.108})"),
                          }));

    // Each action of a gesture follows it.
    const auto slides = run({QStringLiteral("--run"), QStringLiteral("--config"), bundled,
                             recording("SynPS2_Synaptics_TouchPad.hp8470p.edge-scroll-horizontal")});
    ASSERT_EQ(slides.status, 0) << slides.err;
    QStringList kinds;
    for (const QString& line : lines(slides)) {
        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
        kinds.append(object.contains(u"action")
                         ? object.value(u"action").toString() + QLatin1Char('=') + object.value(u"notice").toString()
                         : object.value(u"gesture").toObject().value(u"kind").toString());
    }
    // The two slides along the bottom edge run the edge's next tab while the
    // finger moves, once per touch, and are no gestures.
    EXPECT_EQ(kinds, (QStringList{QStringLiteral("nextTab=下一个标签页"), QStringLiteral("nextTab=下一个标签页"),
                                  QStringLiteral("swipe"), QStringLiteral("toggleKeepAwake=保持唤醒已开启"),
                                  QStringLiteral("backAndForth"), QStringLiteral("undo=撤销")}));

    // Without --run the configuration is only practised.
    const auto practised =
        run({QStringLiteral("--config"), bundled, recording("CyPS2_Cypress_Trackpad.two_finger_tap")});
    EXPECT_EQ(summarise(practised.out), QStringList{QStringLiteral("tap 2 x1")});
    EXPECT_FALSE(practised.out.contains(QStringLiteral("action")));
}

// A replay runs its queued work only while there is some: the event loop is
// never asked to look for events, which would poll every time.
TEST(ReplayTest, AReplayNeverAsksTheEventLoopForEvents) {
    int loopRounds = 0;
    const QMetaObject::Connection counting = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&loopRounds] { ++loopRounds; });
    const auto slides =
        run({QStringLiteral("--run"), QStringLiteral("--config"), configuration("configurations/recordings.json"),
             recording("SynPS2_Synaptics_TouchPad.hp8470p.edge-scroll-horizontal")});
    QObject::disconnect(counting);
    ASSERT_EQ(slides.status, 0) << slides.err;
    EXPECT_EQ(lines(slides).size(), 6) << "the gestures and actions the recording gives";
    EXPECT_EQ(loopRounds, 0);
}

TEST(ReplayTest, AGestureATrackerTakesWhileTheFingersMoveIsPrintedBeforeItsAction) {
    // Two fingers side by side slide 0.3 of the pad right, then up, in 0.16 s.
    std::vector<std::vector<Finger>> right;
    std::vector<std::vector<Finger>> up;
    for (int i = 0; i < 16; ++i) {
        right.push_back({{300 + 20 * i, 400, 20}, {300 + 20 * i, 600, 20}});
        up.push_back({{400, 700 - 20 * i, 20}, {600, 700 - 20 * i, 20}});
    }
    const QString dir = test::temporaryHome();
    writeFile(dir + QStringLiteral("/right.events"), syntheticRecording(false, right));
    writeFile(dir + QStringLiteral("/up.events"), syntheticRecording(false, up));

    // The bundled configuration with a tab swipe and a volume slide for two
    // fingers: both run while the fingers move, and neither is a gesture at
    // the lift.
    QFile bundled(configuration("configurations/recordings.json"));
    ASSERT_TRUE(bundled.open(QIODevice::ReadOnly));
    QJsonObject archive = QJsonDocument::fromJson(bundled.readAll()).object();
    QJsonArray rules = archive.value(u"gestures").toArray();
    const auto addRule = [&rules](const char* id, const char* direction, const char* action) {
        rules.append(QJsonObject{
            {QStringLiteral("id"), QLatin1String(id)},
            {QStringLiteral("isEnabled"), true},
            {QStringLiteral("gesture"), QJsonObject{{QStringLiteral("kind"), QStringLiteral("swipe")},
                                                    {QStringLiteral("fingers"), 2},
                                                    {QStringLiteral("direction"), QLatin1String(direction)},
                                                    {QStringLiteral("tapCount"), 1}}},
            {QStringLiteral("requiredModifiers"), 0},
            {QStringLiteral("appBundleID"), QString()},
            {QStringLiteral("action"), QLatin1String(action)},
        });
    };
    addRule("6A1D0C3E-5B7F-4E21-9C4A-0000000000A1", "right", "nextTab");
    addRule("6A1D0C3E-5B7F-4E21-9C4A-0000000000A2", "up", "volumeUp");
    archive.insert(QStringLiteral("gestures"), rules);
    const QString tabs = dir + QStringLiteral("/tabs.json");
    writeFile(tabs, QJsonDocument(archive).toJson());

    const QString swipeRight =
        QStringLiteral(R"({"gesture":{"direction":"right","fingers":2,"kind":"swipe","tapCount":1},"t":0.05})");
    const QString swipeUp =
        QStringLiteral(R"({"gesture":{"direction":"up","fingers":2,"kind":"swipe","tapCount":1},"t":0.02})");
    struct Case {
        QStringList arguments;
        QStringList lines;
    };
    const Case cases[] = {
        {{QStringLiteral("--run"), dir + QStringLiteral("/right.events")},
         {swipeRight, QStringLiteral(R"({"action":"nextTab","notice":"下一个标签页","t":0.05})")}},
        {{dir + QStringLiteral("/right.events")}, {swipeRight}},
        // A volume slide reaches no dispatcher: its gesture line stands
        // alone, once.
        {{QStringLiteral("--run"), dir + QStringLiteral("/up.events")}, {swipeUp}},
        {{dir + QStringLiteral("/up.events")}, {swipeUp}},
    };
    for (const Case& c : cases) {
        const auto result = run(QStringList{QStringLiteral("--config"), tabs} + c.arguments);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(lines(result), c.lines) << c.arguments.join(u' ');
    }
}

TEST(ReplayTest, TheConfigurationsLevelsHoldUnlessTheCommandLineGivesOthers) {
    QFile bundled(configuration("configurations/recordings.json"));
    ASSERT_TRUE(bundled.open(QIODevice::ReadOnly));
    QJsonObject archive = QJsonDocument::fromJson(bundled.readAll()).object();
    archive.insert(QStringLiteral("recognitionLevel"), QStringLiteral("deliberate"));
    const QString deliberate = test::temporaryHome() + QStringLiteral("/deliberate.json");
    writeFile(deliberate, QJsonDocument(archive).toJson());

    // 0.17 of the pad: a swipe at the standard level, short of the deliberate
    // swipe distance.
    std::vector<std::array<int, 3>> frames;
    for (int i = 0; i <= 10; ++i) frames.push_back({300 + 17 * i, 500, 20});
    const QString slide = test::temporaryHome() + QStringLiteral("/swipe.events");
    writeFile(slide, syntheticRecording(false, frames));
    EXPECT_EQ(summarise(run({slide}).out), QStringList{QStringLiteral("swipe 1")});
    EXPECT_EQ(summarise(run({QStringLiteral("--config"), deliberate, slide}).out), QStringList{});
    EXPECT_EQ(summarise(run({QStringLiteral("--config"), deliberate, QStringLiteral("--level"),
                             QStringLiteral("standard"), slide})
                            .out),
              QStringList{QStringLiteral("swipe 1")});
}

TEST(ReplayTest, AConfigurationThatCannotBeReadOrIsInvalidGetsOneClearErrorAndStatusTwo) {
    const QString dir = test::temporaryHome();
    writeFile(dir + QStringLiteral("/not-json.json"), "{ gestures: [");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + QStringLiteral("/pipe.json")).constData(), 0600), 0);
    const QString tap = recording("CyPS2_Cypress_Trackpad.two_finger_tap");

    struct Case {
        QStringList arguments;
        const char* message;
    };
    const Case cases[] = {
        {{tap, QStringLiteral("--config")}, "--config takes the path of an exported configuration"},
        {{QStringLiteral("--config"), dir + QStringLiteral("/missing.json"), tap}, "no such configuration file"},
        {{QStringLiteral("--config"), dir, tap}, "no such configuration file"},
        {{QStringLiteral("--config"), dir + QStringLiteral("/pipe.json"), tap}, "no such configuration file"},
        {{QStringLiteral("--config"), dir + QStringLiteral("/not-json.json"), tap}, "not a Glidra configuration"},
        {{QStringLiteral("--config"), configuration("archives/gestures-five-fingers.json"), tap},
         "invalid gesture rules"},
        {{QStringLiteral("--config"), configuration("archives/version-2.json"), tap},
         "a schema version this program does not read"},
        {{QStringLiteral("--config"), configuration("archives/values-sensitivity-high.json"), tap},
         "sensitivity or edge width out of range"},
        {{QStringLiteral("--run"), QStringLiteral("--run=yes"), tap}, "unexpected argument --run=yes"},
    };
    for (const Case& c : cases) {
        const auto result = run(c.arguments);
        EXPECT_EQ(result.status, 2) << c.message;
        EXPECT_TRUE(result.out.isEmpty()) << c.message;
        EXPECT_TRUE(result.err.contains(QLatin1String(c.message))) << result.err.toStdString();
    }
}

}  // namespace
}  // namespace glidra::replay
