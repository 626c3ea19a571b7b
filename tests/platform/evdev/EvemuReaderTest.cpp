#include "platform/evdev/EvdevCodes.h"
#include "platform/evdev/EvemuReader.h"
#include "platform/evdev/FrameAssembler.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
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

struct BadInput {
    std::string text;
    Kind kind;
    int line;
};

std::vector<BadInput> badInputs() {
    const std::string event = "E: 0.000000 0003 0035 12\n";
    return {
        {"", Kind::notEvemu, 0},
        {"# only a comment\n\n", Kind::notEvemu, 0},
        {"hello world\n" + event, Kind::notEvemu, 1},
        {"{\"frames\": []}\n", Kind::notEvemu, 1},
        {"# comment\nE 0.000000 0003 0035 12\n", Kind::notEvemu, 2},
        {event + std::string("E: 0.1 0003 0035 1") + '\0' + "\n", Kind::binaryData, 2},
        {"\x7f"
         "ELF\x02\x01\x01",
         Kind::binaryData, 1},
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
        // A control byte anywhere outranks an earlier bad line.
        {event + "E: 0.01 0003 0035 12x\n\x01\n", Kind::binaryData, 3},
        {"N: pad\nA: 35 0 100 0 0 0\n", Kind::noEvents, 0},
    };
}

TEST(EvemuReaderTest, RejectsBadInputWithTheLineAtFault) {
    for (const BadInput& c : badInputs()) {
        SCOPED_TRACE(c.text);
        const auto result = EvemuReader::parse(c.text);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().kind, c.kind) << result.error().describe();
        EXPECT_EQ(result.error().line, c.line) << result.error().describe();
        EXPECT_FALSE(result.error().message.empty());
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

// --- the stream --------------------------------------------------------------------

std::string readWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream buffer;
    buffer << file.rdbuf();
    return buffer.str();
}

std::string writeTemporary(const std::string& text) {
    const std::string path = ::testing::TempDir() + "glidra-stream.events";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

// The stream reads a file as the whole read does: the same device, the same
// events in the same times, the same BTN_TOUCH answer, and the same error for
// bad input, found before the first event is handed out.
TEST(EvemuStreamTest, GivesWhatReadingTheWholeFileGives) {
    std::vector<std::string> texts = {
        "\xEF\xBB\xBFN: pad # 2\r\nA: 35 0 100 0 0 0\r\nE: 7.25 0003 0035 40 # x\r\nE: 7.5 0000 0000 0",
        "E: 100.5 0003 0039 12\nE: 100.5 0003 0035 300\nE: 100.5 0003 002f 3\nE: 100.6 0003 0039 -1\n"
        "E: 100.75 0000 0000 0\n",
    };
    for (const auto& entry : std::filesystem::directory_iterator(kRecordings)) {
        if (entry.path().extension() == ".events") texts.push_back(readWhole(entry.path().string()));
    }
    for (const BadInput& bad : badInputs()) texts.push_back(bad.text);
    // And a long one, past the stream's reading chunk.
    const std::string tap = readWhole(kRecordings + "CyPS2_Cypress_Trackpad.two_finger_tap.events");
    std::string longer = tap.substr(0, tap.find("E:"));
    for (int copy = 0; copy < 200; ++copy) longer += "E: 1." + std::to_string(100000 + copy) + " 0000 0000 0\n";
    texts.push_back(longer);

    for (const std::string& text : texts) {
        SCOPED_TRACE(text.substr(0, 120));
        const std::string path = writeTemporary(text);
        const auto whole = EvemuReader::readFile(path);
        EvemuStream stream(path);
        if (!whole.ok()) {
            ASSERT_TRUE(stream.error().has_value());
            EXPECT_EQ(stream.error()->kind, whole.error().kind) << stream.error()->describe();
            EXPECT_EQ(stream.error()->line, whole.error().line) << stream.error()->describe();
            EXPECT_FALSE(stream.next().has_value());
            continue;
        }
        ASSERT_FALSE(stream.error().has_value()) << stream.error()->describe();
        Recording streamed = stream.header();
        EXPECT_TRUE(streamed.events.empty());
        for (auto event = stream.next(); event; event = stream.next()) streamed.events.push_back(*event);
        EXPECT_FALSE(stream.error().has_value()) << stream.error()->describe();
        EXPECT_EQ(streamed, whole.recording());
        EXPECT_EQ(stream.reportsTouchKey(), whole.recording().reportsTouchKey());
    }
    std::remove(writeTemporary("").c_str());
}

// A file that changes between the first reading and the events' gives an
// error rather than events the first reading did not check.
TEST(EvemuStreamTest, AFileChangedWhileItIsStreamedGivesAnError) {
    const std::string text = "N: pad\nA: 35 0 100 0 0 0\nE: 1.0 0003 0035 40\nE: 1.1 0000 0000 0\n";
    const struct {
        const char* change;
        std::string replacement;
        std::size_t events;  // handed out before the error
    } cases[] = {
        {"grown", text + "E: 1.2 0003 0035 50\n", 2},
        {"cut", "N: pad\nA: 35 0 100 0 0 0\nE: 1.0 0003 0035 40\n", 1},
        {"damaged", "N: pad\nA: 35 0 100 0 0 0\nE: 1.0 0003 0035 40\nE: 0.9 0000 0000 0\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        const std::string path = writeTemporary(text);
        EvemuStream stream(path);
        ASSERT_FALSE(stream.error().has_value()) << stream.error()->describe();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.replacement;
        std::size_t events = 0;
        while (stream.next()) ++events;
        EXPECT_EQ(events, c.events);
        EXPECT_TRUE(stream.error().has_value());
        std::remove(path.c_str());
    }
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

}  // namespace
}  // namespace glidra::evdev
