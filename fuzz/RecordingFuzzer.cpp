// Feeds arbitrary text to the evemu reader and, when it reads, the events to
// the frame assembler. Whatever the input, reading ends in a recording or an
// error, and every frame holds contacts inside the pad with finite values.

#include "platform/evdev/EvemuReader.h"
#include "platform/evdev/FrameAssembler.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "recording fuzzer: %s\n", what);
    std::abort();
}

bool inside(float value) { return std::isfinite(value) && value >= 0.0f && value <= 1.0f; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace glidra::evdev;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto read = EvemuReader::parse(text);
    if (!read.ok()) {
        if (read.error().describe().empty()) fail("an error without a description");
        return 0;
    }
    double previous = -INFINITY;
    for (const Frame& frame : FrameAssembler::assemble(read.recording())) {
        if (!std::isfinite(frame.time)) fail("a frame time that is not finite");
        if (frame.time < previous) fail("frames out of order");
        previous = frame.time;
        for (const auto& contact : frame.contacts) {
            if (!inside(contact.x) || !inside(contact.y)) fail("a contact outside the pad");
            if (!std::isfinite(contact.pressure) || contact.pressure < 0) fail("a pressure that is not a level");
        }
    }
    return 0;
}
