#include "platform/evdev/EvdevCodes.h"
#include "platform/evdev/EvemuReader.h"
#include "platform/evdev/FrameAssembler.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace glidra::evdev {
namespace {

using Kind = EvemuReader::Error::Kind;

const std::string kRecordings = std::string(GLIDRA_TEST_DATA_DIR) + "/recordings/";

TEST(EvemuReaderTest, ReadsTheDeviceAndTheEvents) {
    const std::string text =
        "\xEF\xBB\xBF# EVEMU 1.3\r\n"
        "# Input device name: \"Test Pad\"\r\n"
        "N: Test Pad #2\r\n"
        "I: 0011 0002 0007 01b1\r\n"
        "P: 05 00 00 00 00 00 00 00\r\n"
        "P: 00\r\n"
        "B: 00 0b 00 00 00 00 00 00 00\r\n"
        "B: 01 00 00 00 00 00 00 00 00\r\n"
        "B: 01 00 00 00 00 00 00 00 00\r\n"
        "B: 01 00 00 00 00 00 00 00 00\r\n"
        "B: 01 00 00 00 00 00 00 00 00\r\n"
        "B: 01 00 00 07 00 00 00 00 00\r\n"
        "B: 01 20 25 00 00 00 00 00 00\r\n"
        "A: 2f 0 1 0 0 0\r\n"
        "A: 35 1472 5472 8 0      # old recordings have no resolution\r\n"
        "A: 36 1408 4448 8 0 75\r\n"
        "A: 3a -5 255 0 0 0\r\n"
        "E: 1358916661.266155 0003 0039 0774\t# EV_ABS / ABS_MT_TRACKING_ID   774\r\n"
        "  E: 1358916661.266155 0003 0035 3645\r\n"
        "\r\n"
        "E: 1358916661.290475 0003 0039 -001\r\n"
        "E: 1358916662.000001 0000 0000 0000\r\n";
    const auto result = EvemuReader::parse(text);
    ASSERT_TRUE(result.ok()) << result.error().describe();
    const Recording& r = result.recording();
    const DeviceDescription& d = r.device;
    EXPECT_TRUE(r.hasDeviceHeader);
    EXPECT_EQ(d.name, "Test Pad #2");
    EXPECT_EQ(d.bustype, 0x11);
    EXPECT_EQ(d.vendor, 0x2);
    EXPECT_EQ(d.product, 0x7);
    EXPECT_EQ(d.version, 0x1b1);
    EXPECT_EQ(d.properties.size(), 9u);
    EXPECT_TRUE(d.hasProperty(kPropPointer));
    EXPECT_TRUE(d.isClickpad());
    EXPECT_FALSE(d.isSemiMultitouch());
    EXPECT_FALSE(d.isPressurePad());
    EXPECT_TRUE(d.hasEventCode(kEvKey, kBtnLeft));
    EXPECT_TRUE(d.hasEventCode(kEvKey, kBtnTouch));
    EXPECT_TRUE(d.hasEventCode(kEvKey, kBtnToolDoubletap));
    EXPECT_FALSE(d.hasEventCode(kEvKey, kBtnToolTripletap));
    EXPECT_TRUE(d.hasEventCode(kEvSyn, kEvAbs)) << "type 0 lists the event types";
    EXPECT_EQ(d.axis(kAbsMtPositionX), (AxisRange{1472, 5472, 8, 0, 0}));
    EXPECT_EQ(d.axis(kAbsMtPositionY), (AxisRange{1408, 4448, 8, 0, 75}));
    EXPECT_EQ(d.axis(kAbsMtPressure)->minimum, -5);
    EXPECT_EQ(d.axis(kAbsMtTrackingId), (AxisRange{774, 774, 0, 0, 0, true})) << "not described: taken from the events";
    EXPECT_EQ(d.slotCount(), 2);
    EXPECT_TRUE(d.isMultitouch());

    ASSERT_EQ(r.events.size(), 4u);
    EXPECT_EQ(r.events[0], (EvdevEvent{0.0, kEvAbs, kAbsMtTrackingId, 774}));
    EXPECT_EQ(r.events[1], (EvdevEvent{0.0, kEvAbs, kAbsMtPositionX, 3645}));
    EXPECT_EQ(r.events[2], (EvdevEvent{0.02432, kEvAbs, kAbsMtTrackingId, -1}));
    EXPECT_EQ(r.events[3], (EvdevEvent{0.733846, kEvSyn, kSynReport, 0}));
    EXPECT_DOUBLE_EQ(r.firstEventEpoch, 1358916661.266155);
}

TEST(EvemuReaderTest, ARecordingWithoutHeaderTakesItsAxesFromTheData) {
    const auto result = EvemuReader::parse(
        "E: 100.5 0003 0039 12\n"
        "E: 100.5 0003 0035 300\n"
        "E: 100.5 0003 0036 -20\n"
        "E: 100.5 0000 0000 0\n"
        "E: 100.6 0003 002f 3\n"
        "E: 100.6 0003 0039 -1\n"
        "E: 100.6 0003 0035 900\n"
        "E: 100.6 0003 0036 480\n"
        "E: 100.75 0000 0000 0\n",
        {.requireMultitouch = true});
    ASSERT_TRUE(result.ok()) << result.error().describe();
    const Recording& r = result.recording();
    EXPECT_FALSE(r.hasDeviceHeader);
    EXPECT_TRUE(r.device.hasDerivedAxes());
    EXPECT_EQ(r.device.axis(kAbsMtPositionX), (AxisRange{300, 900, 0, 0, 0, true}));
    EXPECT_EQ(r.device.axis(kAbsMtPositionY), (AxisRange{-20, 480, 0, 0, 0, true}));
    EXPECT_EQ(r.device.axis(kAbsMtTrackingId), (AxisRange{12, 12, 0, 0, 0, true})) << "-1 is not a value of the axis";
    EXPECT_EQ(r.device.slotCount(), 4) << "slots counted from 0 up to the highest seen";
    EXPECT_DOUBLE_EQ(r.events.back().time, 0.25);

    const auto frames = FrameAssembler::assemble(r);
    ASSERT_EQ(frames.size(), 2u);
    ASSERT_EQ(frames[0].contacts.size(), 1u);
    EXPECT_EQ(frames[0].contacts[0].x, 0.0f);
    EXPECT_EQ(frames[0].contacts[0].y, 1.0f);
    EXPECT_TRUE(frames[0].contacts[0].touching) << "no BTN_TOUCH in the recording: tracked means touching";
}

TEST(EvemuReaderTest, AnAxisLineWithoutRangeIsReadWithAWarningThatNamesTheLine) {
    struct Case {
        const char* axes;
        std::vector<EvemuReader::Warning> warnings;
    };
    const Case cases[] = {
        {"A: 35 0 1000 0 0 10\nA: 36 0 600 0 0 10\n", {}},
        {"A: 35 0 1000 0 0 10\nA: 36 600 0 0 0 10\n", {{3, "A: axis 36 has no range: minimum 600 is above maximum 0"}}},
        {"A: 35 500 500 0 0 0\nA: 36 -3 -3 0 0 0   # a comment\n",
         {{2, "A: axis 35 has no range: minimum 500 equals maximum 500"},
          {3, "A: axis 36 has no range: minimum -3 equals maximum -3"}}},
        // One slot is slots 0 to 0.
        {"A: 2f 0 0 0 0 0\nA: 35 0 1000 0 0 10\nA: 36 0 600 0 0 10\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.axes);
        const std::string text = std::string("N: pad\n") + c.axes + "E: 0.0 0003 0039 1\nE: 0.0 0000 0000 0\n";
        const auto result = EvemuReader::parse(text);
        ASSERT_TRUE(result.ok()) << result.error().describe();
        EXPECT_EQ(result.warnings(), c.warnings);
        EvemuStream stream = EvemuStream::fromText(text, {});
        ASSERT_TRUE(stream.ok());
        EXPECT_EQ(stream.warnings(), c.warnings);
    }
    EXPECT_EQ((EvemuReader::Warning{7, "A: axis 36 has no range"}).describe(), "line 7: A: axis 36 has no range");
}

TEST(EvemuReaderTest, RejectsBadInputWithTheLineAtFault) {
    struct Case {
        std::string text;
        Kind kind;
        int line;
    };
    const std::string event = "E: 0.000000 0003 0035 12\n";
    const Case cases[] = {
        {"", Kind::notEvemu, 0},
        {"# only a comment\n\n", Kind::notEvemu, 0},
        {"hello world\n" + event, Kind::notEvemu, 1},
        {"{\"frames\": []}\n", Kind::notEvemu, 1},
        {"# comment\nE 0.000000 0003 0035 12\n", Kind::notEvemu, 2},
        {event + std::string("E: 0.1 0003 0035 1") + '\0' + "\n", Kind::binaryData, 2},
        {"\x7f"
         "ELF\x02\x01\x01",
         Kind::binaryData, 1},
        {event + "E:\t0.1\t0003 0035 12 # a comment and \x02 in it\n", Kind::binaryData, 2},
        {event + "E: 0.1 0003 0035 12\r\x1b\n", Kind::binaryData, 2},
        {event + "E: 0.1 0003 0035 12 # \x03", Kind::binaryData, 2},
        {"N: pad\n" + event + "E: 0.010700 0003 0035\n", Kind::truncatedEvent, 3},
        {"E: 0.010700\n", Kind::truncatedEvent, 1},
        {event + "E: 0.01 0003 0035 12x\n", Kind::malformedLine, 2},
        {"E: 1.5 0003 0035 12\nE: 1.2 0000 0000 0\n", Kind::malformedLine, 2},
        {"E: 0.0.1 0003 0035 12\n", Kind::malformedLine, 1},
        {"E: -1.0 0003 0035 12\n", Kind::malformedLine, 1},
        {"E: 1.0123456789 0003 0035 12\n", Kind::malformedLine, 1},
        {"E: 9000000001.0 0003 0035 12\n", Kind::malformedLine, 1},
        {"E: 1.0 0003 0035 4294967296\n", Kind::malformedLine, 1},
        {"E: 1.0 0003 0035 +4\n", Kind::malformedLine, 1},
        {"E: 1.0 0003 0035 4 7\n", Kind::malformedLine, 1},
        {"E: 1.0 0020 0000 0\n", Kind::malformedLine, 1},
        {"E: 1.0 0003 zz 0\n", Kind::malformedLine, 1},
        {"I: 0011 0002 0007\n" + event, Kind::malformedLine, 1},
        {"P: 100\n" + event, Kind::malformedLine, 1},
        {"B: 20 00\n" + event, Kind::malformedLine, 1},
        {"A: 35 0 100\n" + event, Kind::malformedLine, 1},
        {"A: 40 0 100 0 0\n" + event, Kind::malformedLine, 1},
        {"A: 35 0 1e3 0 0\n" + event, Kind::malformedLine, 1},
        {"N: pad\nX: something\n" + event, Kind::malformedLine, 2},
        {event + "N: pad\n", Kind::headerAfterEvents, 2},
        {"N: pad\nA: 35 0 100 0 0 0\n", Kind::noEvents, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto result = EvemuReader::parse(c.text);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().kind, c.kind) << result.error().describe();
        EXPECT_EQ(result.error().line, c.line) << result.error().describe();
        EXPECT_FALSE(result.error().message.empty());
    }
}

// How the last line of a recording may end.
struct LineEnding {
    const char* name;
    const char* text;
};
constexpr LineEnding kLineEndings[] = {{"", "\n"}, {" (CRLF)", "\r\n"}, {" (at the end of the text)", ""}};

// Each case with each line ending.
template <typename Case, std::size_t N>
std::vector<std::pair<Case, LineEnding>> casesWithEveryEnding(const Case (&cases)[N]) {
    std::vector<std::pair<Case, LineEnding>> all;
    for (const Case& c : cases) {
        for (const LineEnding& ending : kLineEndings) all.emplace_back(c, ending);
    }
    return all;
}

// Event lines in every form the format allows read the same values, and
// those just out of range are refused, however they are spaced, padded,
// commented or ended.
TEST(EvemuReaderTest, EventLinesInEveryFormReadTheirValues) {
    struct Case {
        const char* line;
        std::optional<EvdevEvent> event;  // nothing: refused as malformed
    };
    const Case cases[] = {
        {"E: 2.5 0003 0035 12", EvdevEvent{2.5, kEvAbs, kAbsMtPositionX, 12}},
        {"E: 2 0003 0035 12", EvdevEvent{2.0, kEvAbs, kAbsMtPositionX, 12}},
        {"E: 2.000000001 0003 0035 12", EvdevEvent{2.000000001, kEvAbs, kAbsMtPositionX, 12}},
        {"E: 0000000000002.000100 0003 0035 12", EvdevEvent{2.0001, kEvAbs, kAbsMtPositionX, 12}},
        {"E:2.5\t03  35\t\t12  ", EvdevEvent{2.5, kEvAbs, kAbsMtPositionX, 12}},
        {"E: 2.5 0003 0035 12# no blank before the comment", EvdevEvent{2.5, kEvAbs, kAbsMtPositionX, 12}},
        {"E: 2.5 0003 003A 0255", EvdevEvent{2.5, kEvAbs, kAbsMtPressure, 255}},
        {"E: 2.5 0000000003 00000035 12", EvdevEvent{2.5, kEvAbs, kAbsMtPositionX, 12}},
        {"E: 2.5 001f ffff -0", EvdevEvent{2.5, 0x1f, 0xffff, 0}},
        {"E: 2.5 0003 0039 -2147483648",
         EvdevEvent{2.5, kEvAbs, kAbsMtTrackingId, std::numeric_limits<std::int32_t>::min()}},
        {"E: 2.5 0003 0039 2147483647",
         EvdevEvent{2.5, kEvAbs, kAbsMtTrackingId, std::numeric_limits<std::int32_t>::max()}},
        {"E: 2.5 0003 0039 -00000000001", EvdevEvent{2.5, kEvAbs, kAbsMtTrackingId, -1}},
        {"E: 9000000000.0 0003 0035 12", EvdevEvent{9'000'000'000.0, kEvAbs, kAbsMtPositionX, 12}},
        {"E: 2.5 0003 0039 2147483648", std::nullopt},
        {"E: 2.5 0003 0039 -2147483649", std::nullopt},
        {"E: 2.5 0003 0039 -", std::nullopt},
        {"E: 2.5 0003 0039 --1", std::nullopt},
        {"E: 2.5 0020 0000 0", std::nullopt},
        {"E: 2.5 0003 10000 0", std::nullopt},
        {"E: 2. 0003 0035 12", std::nullopt},
        {"E: .5 0003 0035 12", std::nullopt},
        {"E: 2.5#0003 0035 12", std::nullopt},
        {"E: 2.5 0003 0035 12 # 7", EvdevEvent{2.5, kEvAbs, kAbsMtPositionX, 12}},
        {"E: 2.5 0003 0035 1 2", std::nullopt},
        {"E: 2.5 0003 0035 0x12", std::nullopt},
        {"E: 2.5 -003 0035 12", std::nullopt},
    };
    for (const auto& [c, ending] : casesWithEveryEnding(cases)) {
        SCOPED_TRACE(std::string(c.line) + ending.name);
        const auto result = EvemuReader::parse("E: 0.0 0000 0000 0\n" + std::string(c.line) + ending.text);
        if (!c.event) {
            ASSERT_FALSE(result.ok());
            EXPECT_EQ(result.error().line, 2) << result.error().describe();
            EXPECT_NE(result.error().kind, Kind::binaryData) << result.error().describe();
            continue;
        }
        ASSERT_TRUE(result.ok()) << result.error().describe();
        ASSERT_EQ(result.recording().events.size(), 2u);
        EXPECT_EQ(result.recording().events[1], *c.event);
    }
}

// The lines of a frame repeat one time; a line whose time only begins as the
// line before's still reads its own, and one with that time reads its values
// as in any other form, or is refused as it would be on its own.
TEST(EvemuReaderTest, AnEventLineReadsItsOwnTimeAndValuesAfterALineWithAnother) {
    struct Case {
        const char* before;
        const char* line;
        std::optional<EvdevEvent> event;  // nothing: the line is refused as malformed
    };
    const auto position = [](double time, std::int32_t value) {
        return EvdevEvent{time, kEvAbs, kAbsMtPositionX, value};
    };
    // As the reader turns a time in nanoseconds into seconds.
    const auto inSeconds = [](std::int64_t nanoseconds) { return static_cast<double>(nanoseconds) / 1e9; };
    const char* const before = "E: 1.5 0003 0035 1";
    const Case cases[] = {
        {before, "E: 1.5 0003 0035 2", position(1.5, 2)},
        {before, "E: 1.6 0003 0035 2", position(1.6, 2)},
        {before, "E: 1.55 0003 0035 2", position(1.55, 2)},
        {"E: 1700000000.25 0003 0035 1", "E: 1710000000.25 0003 0035 2",
         position(inSeconds(1'710'000'000'250'000'000), 2)},
        {"E: 1700000000.25 0003 0035 1", "E: 1700000000.26 0003 0035 2",
         position(inSeconds(1'700'000'000'260'000'000), 2)},
        {before, "E: 1.5\t0003 0035 2", position(1.5, 2)},
        {"E: 1 0003 0035 1", "E: 1.25 0003 0035 2", position(1.25, 2)},
        {before, "E:  1.5 0003 0035 2", position(1.5, 2)},
        {before, "E: 1.5 0003  0035 2", position(1.5, 2)},
        {before, "E: 1.5 0003 0035 2 ", position(1.5, 2)},
        {before, "E: 1.5 0003 0035 2 # c", position(1.5, 2)},
        {before, "E: 1.5 003 0035 2", position(1.5, 2)},
        {before, "E: 1.5 0003 0035 00000000002", position(1.5, 2)},
        {before, "E: 1.5 0003 0035 -2147483648", position(1.5, std::numeric_limits<std::int32_t>::min())},
        {before, "E: 1.5 001F FFFF -0", EvdevEvent{1.5, 0x1f, 0xffff, 0}},
        {before, "E: 1.5.5 0003 0035 2", std::nullopt},
        {before, "E: 1.5x 0003 0035 2", std::nullopt},
        {"E: 1.123456789 0003 0035 1", "E: 1.1234567891 0003 0035 2", std::nullopt},
        {before, "E: 1.5 zz 0035 2", std::nullopt},
        {before, "E: 1.5 000g 0035 2", std::nullopt},
        {before, "E: 1.5 0020 0035 2", std::nullopt},
        {before, "E: 1.5 0003 0035 2147483648", std::nullopt},
        {before, "E: 1.5 0003 0035 12345678901", std::nullopt},
        {before, "E: 1.5 0003 0035 18446744073709551618", std::nullopt},  // 2 above 2^64
        {before, "E: 1.5 0003 0035 -", std::nullopt},
        {before, "E: 1.5 0003 0035 2x", std::nullopt},
    };
    for (const auto& [c, ending] : casesWithEveryEnding(cases)) {
        SCOPED_TRACE(std::string(c.before) + " / " + c.line + ending.name);
        const auto result = EvemuReader::parse("E: 0.0 0000 0000 0\n" + std::string(c.before) + "\n" +
                                               std::string(c.line) + ending.text);
        if (!c.event) {
            ASSERT_FALSE(result.ok());
            EXPECT_EQ(result.error().kind, Kind::malformedLine) << result.error().describe();
            EXPECT_EQ(result.error().line, 3) << result.error().describe();
            continue;
        }
        ASSERT_TRUE(result.ok()) << result.error().describe();
        ASSERT_EQ(result.recording().events.size(), 3u);
        EXPECT_EQ(result.recording().events[2], *c.event);
    }
}

TEST(EvemuReaderTest, RequiringMultitouchRefusesASingleTouchDevice) {
    const std::string text =
        "N: mouse-like\nA: 00 0 100 0 0 0\nA: 01 0 100 0 0 0\nE: 0.0 0003 0000 5\nE: 0.0 0000 0000 0\n";
    EXPECT_TRUE(EvemuReader::parse(text).ok());
    const auto result = EvemuReader::parse(text, {.requireMultitouch = true});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, Kind::noMultitouchAxes);
}

TEST(EvemuReaderTest, ErrorsDescribeThemselves) {
    const auto result = EvemuReader::parse("N: pad\nE: 0.5 0003\n");
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().describe().rfind("line 2: ", 0), 0u) << result.error().describe();

    const auto missing = EvemuReader::readFile(kRecordings + "no-such-recording.events");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().kind, Kind::unreadableFile);
    EXPECT_NE(missing.error().describe().find("no-such-recording.events"), std::string::npos);
    const auto folder = EvemuReader::readFile(kRecordings);
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.error().kind, Kind::unreadableFile);
}

// Cut and damaged recordings must give an error or a recording, never a crash;
// whatever reads must also assemble.
TEST(EvemuReaderTest, DamagedRecordingsNeverCrash) {
    std::ifstream file(kRecordings + "CyPS2_Cypress_Trackpad.three_finger_tap.events", std::ios::binary);
    std::stringstream buffer;
    buffer << file.rdbuf();
    const std::string original = buffer.str();
    ASSERT_GT(original.size(), 1000u);

    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> position(0, original.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    int read = 0;
    int refused = 0;
    auto tryText = [&](const std::string& text) {
        const auto result = EvemuReader::parse(text);
        if (result.ok()) {
            ++read;
            FrameAssembler::assemble(result.recording());
        } else {
            ++refused;
        }
    };
    for (std::size_t cut = 0; cut < original.size(); cut += 37) tryText(original.substr(0, cut));
    for (int i = 0; i < 400; ++i) {
        std::string damaged = original;
        for (int j = 0; j < 3; ++j) damaged[position(random)] = static_cast<char>(byte(random));
        tryText(damaged);
    }
    EXPECT_GT(read, 0);
    EXPECT_GT(refused, 0);
}

// A file in the test's own folder holding `text`.
std::string writeFile(const std::string& name, const std::string& text) {
    const std::string path = QFile::encodeName(test::temporaryHome()).toStdString() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// The frames of every event the stream gives.
std::vector<Frame> streamedFrames(EvemuStream& stream) {
    FrameAssembler assembler(stream.device(), FrameAssembler::optionsFor(stream.reportsTouchKey()));
    std::vector<Frame> frames;
    while (const auto event = stream.next()) {
        if (auto frame = assembler.feed(*event)) frames.push_back(std::move(*frame));
    }
    return frames;
}

// `frames` two-finger frames of a slide, each event line followed by a
// comment of a different length so that lines straddle every place of the
// reader's buffer; one comment alone is longer than the buffer.
std::string longRecording(bool withHeader, int frames) {
    std::string text = "\xEF\xBB\xBF# EVEMU 1.3\r\n";
    if (withHeader) {
        text += "N: long pad\nI: 0011 0002 0007 01b1\nP: 05 00\n";
        text += "A: 2f 0 1 0 0 0\nA: 35 0 4000 0 0 40\nA: 36 0 3000 0 0 40\nA: 39 0 65535 0 0 0\n";
    }
    const auto line = [&](int frame, const char* typeCode, int value) {
        const std::int64_t micros = 1'700'000'000'000'000 + std::int64_t(frame) * 8000;
        text += "E: " + std::to_string(micros / 1'000'000) + "." +
                std::to_string(1'000'000 + micros % 1'000'000).substr(1) + " " + typeCode + " " + std::to_string(value);
        text += (text.size() % 3 == 0 ? "\r\n" : "    # " + std::string(text.size() % 97, 'c') + "\n");
    };
    for (int frame = 0; frame < frames; ++frame) {
        const int phase = frame % 200;  // a touch lasts 199 frames; the fingers lift at the last
        for (int slot = 0; slot < 2; ++slot) {
            line(frame, "0003 002f", slot);
            if (phase == 0) line(frame, "0003 0039", frame + slot);
            if (phase == 199) {
                line(frame, "0003 0039", -1);
                continue;
            }
            line(frame, "0003 0035", 500 + slot * 1000 + phase * 10 + frame / 200);
            line(frame, "0003 0036", 2900 - phase * 12);
        }
        if (phase == 0 || phase == 199) line(frame, "0001 014a", phase == 0 ? 1 : 0);
        line(frame, "0000 0000", 0);
        if (frame == frames / 2) text += "# " + std::string(300'000, 'x') + "\n";
    }
    text.pop_back();  // the last line ends without a line end
    return text;
}

TEST(EvemuStreamTest, ARecordingMuchLargerThanTheBufferStreamsTheFramesItsTextGives) {
    for (const bool withHeader : {true, false}) {
        SCOPED_TRACE(withHeader ? "with a header" : "without a header");
        const std::string text = longRecording(withHeader, 12'000);
        ASSERT_GT(text.size(), 4'000'000u);
        const auto parsed = EvemuReader::parse(text, {.requireMultitouch = true});
        ASSERT_TRUE(parsed.ok()) << parsed.error().describe();
        const Recording& recording = parsed.recording();

        EvemuStream stream = EvemuStream::open(writeFile("long.events", text), {.requireMultitouch = true});
        ASSERT_TRUE(stream.ok()) << stream.error().describe();
        EXPECT_EQ(stream.device(), recording.device);
        EXPECT_EQ(stream.hasDeviceHeader(), withHeader);
        EXPECT_TRUE(stream.reportsTouchKey());
        EXPECT_DOUBLE_EQ(stream.firstEventEpoch(), 1'700'000'000.0);
        EXPECT_EQ(stream.eventCount(), recording.events.size());
        if (!withHeader) {
            // The largest x comes in the last touch, far beyond the first buffer.
            EXPECT_EQ(stream.device().axis(kAbsMtPositionX), (AxisRange{500, 3539, 0, 0, 0, true}));
        }
        const auto frames = streamedFrames(stream);
        EXPECT_TRUE(stream.ok()) << stream.error().describe();
        EXPECT_EQ(frames.size(), 12'000u);
        EXPECT_TRUE(frames == FrameAssembler::assemble(recording));
        EXPECT_EQ(stream.next(), std::nullopt) << "the end stays the end";
    }
}

// Reading from a file through the buffer, the errors are those of the text:
// the same line, also far into the file and after a line longer than the
// buffer.
TEST(EvemuStreamTest, AFileIsRefusedAsItsTextWouldBe) {
    struct Case {
        const char* name;
        std::string text;
        Kind kind;
        int line;
    };
    const std::string good = longRecording(true, 3'000);
    const std::string event = "E: 1700000100.000000 0000 0000 0\n";
    const std::string longComment = "# " + std::string(200'000, 'y') + "\n";
    const auto lines = static_cast<int>(std::count(good.begin(), good.end(), '\n')) + 1;
    const Case cases[] = {
        {"a bad line far in", good + "\nE: 1700000100.0 0003 zz 0\n", Kind::malformedLine, lines + 1},
        {"a bad line after a long one", "N: pad\n" + longComment + "B: 20 00\n" + event, Kind::malformedLine, 3},
        {"a NUL byte after a bad line", "E: x\n" + good + std::string("\n# \0\n", 5), Kind::binaryData, lines + 2},
        {"a control byte in a long line", "N: pad\n# " + std::string(100'000, 'z') + "\x01\n" + event, Kind::binaryData,
         2},
        {"a header line after the events", good + "\nA: 35 0 1 0 0 0", Kind::headerAfterEvents, lines + 1},
        {"a truncated last event", good + "\nE: 1700000100.0 0003", Kind::truncatedEvent, lines + 1},
        {"time running backwards", good + "\nE: 1.0 0000 0000 0\n", Kind::malformedLine, lines + 1},
        {"no events", "N: pad\n" + longComment + "A: 35 0 100 0 0 0\n", Kind::noEvents, 0},
        {"only comments", longComment + longComment, Kind::notEvemu, 0},
        {"no multitouch", "N: pad\n" + longComment + "A: 00 0 100 0 0 0\nE: 0.0 0003 0000 5\n" + event,
         Kind::noMultitouchAxes, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = EvemuReader::parse(c.text, {.requireMultitouch = true});
        ASSERT_FALSE(parsed.ok());
        EvemuStream stream = EvemuStream::open(writeFile("bad.events", c.text), {.requireMultitouch = true});
        ASSERT_FALSE(stream.ok());
        EXPECT_EQ(stream.error().kind, c.kind) << stream.error().describe();
        EXPECT_EQ(stream.error().line, c.line) << stream.error().describe();
        EXPECT_EQ(stream.error(), parsed.error());
        EXPECT_EQ(stream.next(), std::nullopt);
    }

    const std::string fifo = QFile::encodeName(test::temporaryHome()).toStdString() + "/fifo.events";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, QFile::encodeName(test::temporaryHome()).toStdString()}) {
        SCOPED_TRACE(path);
        EvemuStream stream = EvemuStream::open(path, {});
        ASSERT_FALSE(stream.ok());
        EXPECT_EQ(stream.error().kind, Kind::unreadableFile);
        EXPECT_NE(stream.error().describe().find(path), std::string::npos) << stream.error().describe();
    }
}

// The events come from a second reading: a recording cut short or grown
// (still being written) since it was opened ends with an error, not with
// fewer frames or frames the first reading never checked.
TEST(EvemuStreamTest, ARecordingThatChangesWhileItIsReadEndsWithAnError) {
    const std::string text = longRecording(true, 3'000);
    struct Case {
        const char* name;
        std::string changed;
    };
    const Case cases[] = {
        {"cut short", text.substr(0, text.size() / 2)},
        {"grown", text + "\nE: 1700000100.000000 0000 0000 0\n"},
        {"a comment grown", text + "\n# more\n"},
        {"a bad line", text + "\nE: 1700000100.0 0003 zz 0\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = writeFile("changing.events", text);
        EvemuStream stream = EvemuStream::open(path, {});
        ASSERT_TRUE(stream.ok()) << stream.error().describe();
        writeFile("changing.events", c.changed);
        std::size_t events = 0;
        while (stream.next()) ++events;
        ASSERT_FALSE(stream.ok());
        EXPECT_EQ(stream.error().kind, Kind::unreadableFile);
        EXPECT_EQ(stream.error().describe(), path + " changed while it was read");
        EXPECT_LE(events, stream.eventCount());
    }
}

// The process's descriptor open on `path`, or -1.
int descriptorOf(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return -1;
    const std::filesystem::path target(real);
    std::free(real);
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == target) {
            return std::stoi(entry.path().filename().string());
        }
    }
    return -1;
}

// A disk that fails while the events are read: what was held of a line
// when the read failed is no line, so the stream ends with the read error
// and gives nothing of that line.
TEST(EvemuStreamTest, AReadThatFailsPartWayThroughALineEndsWithTheErrorAndNoPartOfTheLine) {
    // The recording shifted by one byte after another, so that the failing
    // read comes at every place of a line: in its comment, where the line
    // cut short still reads, and in its value, where it reads as another
    // event.
    for (std::size_t width = 0; width < 48; ++width) {
        const std::string shift = "#" + std::string(width, 's') + "\n";
        SCOPED_TRACE(width);
        std::string text = longRecording(true, 3'000);
        text.insert(text.find('\n') + 1, shift);
        const auto parsed = EvemuReader::parse(text);
        ASSERT_TRUE(parsed.ok()) << parsed.error().describe();
        const std::vector<EvdevEvent>& all = parsed.recording().events;
        const std::string path = writeFile("failing.events", text);
        EvemuStream stream = EvemuStream::open(path, {});
        ASSERT_TRUE(stream.ok()) << stream.error().describe();
        std::vector<EvdevEvent> events;
        events.push_back(*stream.next());

        // From the next read on, the descriptor is a folder's, which no read
        // gets anything from.
        const int fd = descriptorOf(path);
        ASSERT_GE(fd, 0);
        const int folder = ::open(QFile::encodeName(test::temporaryHome()).constData(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(folder, 0);
        ASSERT_EQ(::dup2(folder, fd), fd);
        ::close(folder);

        while (const auto event = stream.next()) events.push_back(*event);
        ASSERT_FALSE(stream.ok());
        EXPECT_EQ(stream.error().kind, Kind::unreadableFile);
        EXPECT_EQ(stream.error().describe(), "cannot read " + path + ": " + std::strerror(EISDIR));
        ASSERT_LT(events.size(), all.size());
        EXPECT_TRUE(std::equal(events.begin(), events.end(), all.begin())) << "a half line came out as an event";
    }
}

}  // namespace
}  // namespace glidra::evdev
