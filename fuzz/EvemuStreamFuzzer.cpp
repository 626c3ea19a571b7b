// Reads arbitrary text one event at a time and as a whole: both readings
// must agree on whether it reads, on the error that stops it, on the device
// and on every event, in order. An input of odd length is read requiring
// multitouch axes.

#include "platform/evdev/EvemuReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "evemu stream fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace glidra::evdev;
    const EvemuReader::Options options{size % 2 == 1};
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto whole = EvemuReader::parse(text, options);
    auto stream = EvemuStream::fromText(text, options);
    if (whole.ok() != stream.ok()) fail("one reading fails where the other reads");
    if (!whole.ok()) {
        if (!(whole.error() == stream.error())) fail("the readings fail with different errors");
        if (stream.next()) fail("a stream that failed to open gives an event");
        return 0;
    }

    const Recording& recording = whole.recording();
    if (!(stream.device() == recording.device)) fail("the readings describe different devices");
    if (stream.hasDeviceHeader() != recording.hasDeviceHeader) fail("the readings disagree on the header");
    if (stream.firstEventEpoch() != recording.firstEventEpoch) fail("the readings disagree on the first time");
    if (stream.reportsTouchKey() != recording.reportsTouchKey()) fail("the readings disagree on BTN_TOUCH");
    if (stream.eventCount() != recording.events.size()) fail("the readings count different events");
    for (const EvdevEvent& expected : recording.events) {
        const auto event = stream.next();
        if (!event) fail("the stream ends early");
        if (!(*event == expected)) fail("the stream gives another event");
    }
    if (stream.next()) fail("the stream gives more events");
    if (!stream.ok()) fail("the stream fails after its last event");
    return 0;
}
