#include "platform/evdev/EvemuReader.h"

#include "platform/evdev/EvdevCodes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace glidra::evdev {

namespace {

using Error = EvemuReader::Error;
using Kind = EvemuReader::Error::Kind;

constexpr std::uint16_t kMaxEventType = 0x1f;
// Keeps times in nanoseconds within 64 bits (the year 2255).
constexpr std::int64_t kMaxSeconds = 9'000'000'000;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view withoutComment(std::string_view s) {
    const auto hash = s.find('#');
    return hash == std::string_view::npos ? s : s.substr(0, hash);
}

std::vector<std::string_view> fields(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isBlank(s[i])) ++i;
        const std::size_t start = i;
        while (i < s.size() && !isBlank(s[i])) ++i;
        if (i > start) out.push_back(s.substr(start, i - start));
    }
    return out;
}

template <typename T>
bool parseNumber(std::string_view s, int base, T& out) {
    if (s.empty() || s.front() == '+') return false;
    // from_chars would accept "-" for unsigned types as a failure anyway, but
    // a sign never belongs in a hex field.
    if (base == 16 && s.front() == '-') return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out, base);
    return ec == std::errc{} && end == s.data() + s.size();
}

// "<seconds>.<fraction>" as nanoseconds; integer arithmetic keeps a rebased
// recording exact to the microsecond.
bool parseTime(std::string_view s, std::int64_t& nanoseconds) {
    const auto dot = s.find('.');
    const std::string_view whole = s.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? std::string_view{} : s.substr(dot + 1);
    std::int64_t seconds = 0;
    if (!parseNumber(whole, 10, seconds) || seconds < 0 || seconds > kMaxSeconds) return false;
    if (dot != std::string_view::npos && (fraction.empty() || fraction.size() > 9)) return false;
    std::int64_t fractional = 0;
    if (!fraction.empty()) {
        if (!parseNumber(fraction, 10, fractional) || fractional < 0) return false;
        for (std::size_t i = fraction.size(); i < 9; ++i) fractional *= 10;
    }
    nanoseconds = seconds * 1'000'000'000 + fractional;
    return true;
}

std::string hexByte(unsigned char c) {
    static constexpr char digits[] = "0123456789abcdef";
    return std::string{digits[c >> 4], digits[c & 15]};
}

Error error(Kind kind, int line, std::string message) { return Error{kind, line, std::move(message)}; }

struct Parser {
    Recording recording;
    // Off when the events are handed on one at a time instead of kept.
    bool keepEvents = true;
    // The latest event, rebased, and how many there were.
    EvdevEvent lastEvent;
    std::size_t eventCount = 0;
    bool reportsTouchKey = false;
    // Nanoseconds as recorded.
    std::optional<std::int64_t> firstTime;
    std::int64_t lastTime = 0;
    // The span of each axis the events use and the header does not describe.
    std::map<std::uint16_t, AxisRange> seenAxes;
    bool sawEvemuLine = false;
    std::optional<Error> failure;

    bool fail(Kind kind, int line, std::string message) {
        failure = error(kind, line, std::move(message));
        return false;
    }

    bool hexBytes(const std::vector<std::string_view>& f, std::size_t from, std::vector<std::uint8_t>& out, int line) {
        for (std::size_t i = from; i < f.size(); ++i) {
            std::uint8_t byte = 0;
            if (f[i].size() > 2 || !parseNumber(f[i], 16, byte)) {
                return fail(Kind::malformedLine, line, "expected a hex byte, found \"" + std::string(f[i]) + "\"");
            }
            out.push_back(byte);
        }
        return true;
    }

    bool ids(const std::vector<std::string_view>& f, int line) {
        if (f.size() != 4) return fail(Kind::malformedLine, line, "I: needs bus, vendor, product and version");
        std::uint16_t values[4] = {};
        for (std::size_t i = 0; i < 4; ++i) {
            if (!parseNumber(f[i], 16, values[i])) {
                return fail(Kind::malformedLine, line, "expected a hex id, found \"" + std::string(f[i]) + "\"");
            }
        }
        auto& d = recording.device;
        d.bustype = values[0];
        d.vendor = values[1];
        d.product = values[2];
        d.version = values[3];
        return true;
    }

    bool bits(const std::vector<std::string_view>& f, int line) {
        std::uint16_t type = 0;
        if (f.empty() || !parseNumber(f[0], 16, type) || type > kMaxEventType) {
            return fail(Kind::malformedLine, line, "B: needs an event type from 00 to 1f");
        }
        return hexBytes(f, 1, recording.device.eventBits[type], line);
    }

    bool axis(const std::vector<std::string_view>& f, int line) {
        std::uint16_t code = 0;
        if (f.size() < 5 || f.size() > 6) {
            return fail(Kind::malformedLine, line, "A: needs code, min, max, fuzz, flat and an optional resolution");
        }
        if (!parseNumber(f[0], 16, code) || code > kAbsMax) {
            return fail(Kind::malformedLine, line, "A: axis code \"" + std::string(f[0]) + "\" is not 00 to 3f");
        }
        std::int32_t values[5] = {};
        for (std::size_t i = 1; i < f.size(); ++i) {
            if (!parseNumber(f[i], 10, values[i - 1])) {
                return fail(Kind::malformedLine, line, "A: \"" + std::string(f[i]) + "\" is not a 32-bit integer");
            }
        }
        recording.device.axes[code] = AxisRange{values[0], values[1], values[2], values[3], values[4], false};
        return true;
    }

    bool event(const std::vector<std::string_view>& f, int line) {
        if (f.size() < 4) {
            return fail(Kind::truncatedEvent, line, "E: needs time, type, code and value");
        }
        if (f.size() > 4) return fail(Kind::malformedLine, line, "E: has more than four fields");
        std::int64_t time = 0;
        EvdevEvent e;
        if (!parseTime(f[0], time)) {
            return fail(Kind::malformedLine, line, "E: \"" + std::string(f[0]) + "\" is not a <sec>.<usec> time");
        }
        if (!parseNumber(f[1], 16, e.type) || e.type > kMaxEventType) {
            return fail(Kind::malformedLine, line, "E: \"" + std::string(f[1]) + "\" is not an event type");
        }
        if (!parseNumber(f[2], 16, e.code)) {
            return fail(Kind::malformedLine, line, "E: \"" + std::string(f[2]) + "\" is not an event code");
        }
        if (!parseNumber(f[3], 10, e.value)) {
            return fail(Kind::malformedLine, line, "E: \"" + std::string(f[3]) + "\" is not a 32-bit value");
        }
        // The kernel stamps events in order; a recording whose time runs
        // backwards has been edited or spliced, and gestures cannot be timed.
        if (firstTime && time < lastTime) {
            return fail(Kind::malformedLine, line, "E: time " + std::string(f[0]) + " runs backwards");
        }
        if (!firstTime) {
            firstTime = time;
            recording.firstEventEpoch =
                static_cast<double>(time / 1'000'000'000) + static_cast<double>(time % 1'000'000'000) / 1e9;
        }
        lastTime = time;
        e.time = static_cast<double>(time - *firstTime) / 1e9;
        noteAxisValue(e);
        if (e.type == kEvKey && e.code == kBtnTouch) reportsTouchKey = true;
        ++eventCount;
        lastEvent = e;
        if (keepEvents) recording.events.push_back(e);
        return true;
    }

    // Axes that events use but the header does not describe get the span of
    // the values seen, so that positions still normalise. The header comes
    // before the first event, so it is complete by then.
    void noteAxisValue(const EvdevEvent& e) {
        if (e.type != kEvAbs || e.code > kAbsMax || recording.device.axes.contains(e.code)) return;
        if (e.code == kAbsMtTrackingId && e.value < 0) return;  // -1 frees a slot; not a value of the axis
        auto [it, inserted] = seenAxes.try_emplace(e.code, AxisRange{e.value, e.value, 0, 0, 0, true});
        if (!inserted) {
            it->second.minimum = std::min(it->second.minimum, e.value);
            it->second.maximum = std::max(it->second.maximum, e.value);
        }
    }

    bool line(std::string_view raw, int number) {
        std::string_view text = trim(raw);
        if (text.empty() || text.front() == '#') return true;
        const char tag = text.size() >= 2 && text[1] == ':' ? text[0] : '\0';
        const std::string_view rest = text.substr(tag ? 2 : 0);
        switch (tag) {
            case 'N':
            case 'I':
            case 'P':
            case 'B':
            case 'A':
                if (eventCount > 0) {
                    return fail(Kind::headerAfterEvents, number, "device line after the first event");
                }
                sawEvemuLine = true;
                recording.hasDeviceHeader = true;
                break;
            case 'E':
                sawEvemuLine = true;
                break;
            default:
                if (!sawEvemuLine) return fail(Kind::notEvemu, number, "not an evemu recording");
                return fail(Kind::malformedLine, number, "unknown line \"" + std::string(text.substr(0, 20)) + "\"");
        }
        if (tag == 'N') {
            // Names are free text and may hold a '#'.
            recording.device.name = std::string(trim(rest));
            return true;
        }
        const auto f = fields(withoutComment(rest));
        switch (tag) {
            case 'I':
                return ids(f, number);
            case 'P':
                return hexBytes(f, 0, recording.device.properties, number);
            case 'B':
                return bits(f, number);
            case 'A':
                return axis(f, number);
            default:
                return event(f, number);
        }
    }

    void deriveMissingAxes() {
        if (auto slot = seenAxes.find(kAbsMtSlot); slot != seenAxes.end()) slot->second.minimum = 0;
        recording.device.axes.merge(seenAxes);
    }

    // What holds once every line was read; the whole input's problem, if any.
    std::optional<Error> finish(EvemuReader::Options options) {
        if (!sawEvemuLine) return error(Kind::notEvemu, 0, "not an evemu recording: no device or event lines");
        if (eventCount == 0) return error(Kind::noEvents, 0, "the recording holds no events");
        deriveMissingAxes();
        if (options.requireMultitouch && !recording.device.isMultitouch()) {
            return error(Kind::noMultitouchAxes, 0, "the device has no multitouch position axes");
        }
        return std::nullopt;
    }
};

}  // namespace

std::string EvemuReader::Error::describe() const {
    return line > 0 ? "line " + std::to_string(line) + ": " + message : message;
}

EvemuReader::Result EvemuReader::parse(std::string_view text, Options options) {
    // A stray NUL or control byte means this is not a text recording at all;
    // checked first so that no binary file gets as far as the line parser.
    int lineNumber = 1;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            ++lineNumber;
        } else if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7f) {
            return error(Kind::binaryData, lineNumber, "unexpected byte 0x" + hexByte(c) + ": not a text recording");
        }
    }

    // An editor may have saved the recording with a byte order mark.
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);

    Parser parser;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view raw = text.substr(start, end - start);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        ++number;
        if (!parser.line(raw, number)) return *parser.failure;
        start = end + 1;
    }

    if (auto problem = parser.finish(options)) return *problem;
    return std::move(parser.recording);
}

namespace {

// The recording file opened for reading, or why it cannot be read.
// Non-blocking, so that opening a FIFO without a writer cannot hang; only a
// regular file has an end to read to.
int openRecording(const std::string& path, std::optional<Error>& refusal) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        refusal = error(Kind::unreadableFile, 0, "cannot open " + path + ": " + std::strerror(errno));
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        refusal = error(Kind::unreadableFile, 0, "cannot read " + path + ": " + std::strerror(errno));
    } else if (S_ISDIR(status.st_mode)) {
        refusal = error(Kind::unreadableFile, 0, path + " is a folder");
    } else if (!S_ISREG(status.st_mode)) {
        refusal = error(Kind::unreadableFile, 0, path + " is not a regular file");
    }
    if (!refusal) return fd;
    ::close(fd);
    return -1;
}

// Appends what is left of the file to `out`, a chunk at a time; false with
// the reason in `refusal` when a read fails.
bool readChunk(int fd, const std::string& path, std::string& out, bool& atEnd, std::optional<Error>& refusal) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            out.append(buffer, std::size_t(n));
            return true;
        }
        if (n == 0) {
            atEnd = true;
            return true;
        }
        if (errno != EINTR) {
            refusal = error(Kind::unreadableFile, 0, "cannot read " + path + ": " + std::strerror(errno));
            atEnd = true;
            return false;
        }
    }
}

// The first control byte of a line, as parse() reports it for the whole text.
std::optional<Error> binaryByteIn(std::string_view line, int number) {
    for (const char ch : line) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7f) {
            return error(Kind::binaryData, number, "unexpected byte 0x" + hexByte(c) + ": not a text recording");
        }
    }
    return std::nullopt;
}

}  // namespace

EvemuReader::Result EvemuReader::readFile(const std::string& path, Options options) {
    std::optional<Error> refusal;
    const int fd = openRecording(path, refusal);
    if (fd < 0) return *refusal;
    std::string contents;
    for (bool atEnd = false; !atEnd;) {
        if (!readChunk(fd, path, contents, atEnd, refusal)) break;
    }
    ::close(fd);
    if (refusal) return *refusal;
    return parse(contents, options);
}

// --- the stream ------------------------------------------------------------------

struct EvemuStream::State {
    std::string path;
    int fd = -1;
    // Read but not yet split into lines, from `start`.
    std::string buffer;
    std::size_t start = 0;
    bool atEnd = false;
    int number = 0;
    Parser parser;
    bool reportsTouchKey = false;
    std::size_t eventCount = 0;

    // The next line, without its line end; false at the end of the file or
    // when a read failed (`failure` says so).
    bool nextLine(std::string_view& line, std::optional<Error>& failure) {
        for (;;) {
            const std::size_t end = buffer.find('\n', start);
            if (end != std::string::npos || (atEnd && start < buffer.size())) {
                const std::size_t stop = end != std::string::npos ? end : buffer.size();
                line = std::string_view(buffer).substr(start, stop - start);
                start = stop + 1;
                if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                // An editor may have saved the recording with a byte order mark.
                if (++number == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
                return true;
            }
            if (atEnd) return false;
            buffer.erase(0, start);
            start = 0;
            if (!readChunk(fd, path, buffer, atEnd, failure)) return false;
        }
    }

    // From the file's beginning again, with a fresh parser.
    bool rewind() {
        if (::lseek(fd, 0, SEEK_SET) != 0) return false;
        buffer.clear();
        start = 0;
        atEnd = false;
        number = 0;
        parser = Parser{};
        parser.keepEvents = false;
        return true;
    }
};

EvemuStream::EvemuStream(const std::string& path, EvemuReader::Options options) : state_(std::make_unique<State>()) {
    State& state = *state_;
    state.path = path;
    state.fd = openRecording(path, error_);
    if (state.fd < 0) return;
    state.parser.keepEvents = false;

    // Every line once, as parse() reads a whole text: a control byte
    // anywhere outranks any other problem.
    std::optional<Error> binary;
    std::string_view line;
    while (state.nextLine(line, error_)) {
        if (!binary) binary = binaryByteIn(line, state.number);
        if (!binary && !state.parser.failure) state.parser.line(line, state.number);
    }
    if (error_) return;
    if (binary) {
        error_ = *binary;
    } else if (state.parser.failure) {
        error_ = *state.parser.failure;
    } else {
        error_ = state.parser.finish(options);
    }
    if (error_) return;
    header_ = std::move(state.parser.recording);
    state.reportsTouchKey = state.parser.reportsTouchKey;
    state.eventCount = state.parser.eventCount;
    if (!state.rewind()) error_ = glidra::evdev::error(Kind::unreadableFile, 0, "cannot read " + path + " again");
}

EvemuStream::~EvemuStream() {
    if (state_->fd >= 0) ::close(state_->fd);
}

bool EvemuStream::reportsTouchKey() const { return state_->reportsTouchKey; }

std::optional<EvdevEvent> EvemuStream::next() {
    if (error_) return std::nullopt;
    State& state = *state_;
    std::string_view line;
    while (state.nextLine(line, error_)) {
        const std::size_t before = state.parser.eventCount;
        if (auto binary = binaryByteIn(line, state.number)) {
            error_ = *binary;
        } else if (!state.parser.line(line, state.number)) {
            error_ = *state.parser.failure;
        } else if (state.parser.eventCount > before) {
            if (state.parser.eventCount <= state.eventCount) return state.parser.lastEvent;
            error_ = glidra::evdev::error(Kind::unreadableFile, 0, state.path + " changed while it was read");
        }
        if (error_) return std::nullopt;
    }
    if (!error_ && state.parser.eventCount != state.eventCount) {
        error_ = glidra::evdev::error(Kind::unreadableFile, 0, state.path + " changed while it was read");
    }
    return std::nullopt;
}

}  // namespace glidra::evdev
