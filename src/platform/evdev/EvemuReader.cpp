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
    std::vector<std::int64_t> times;  // nanoseconds, as recorded
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
        if (!times.empty() && time < times.back()) {
            return fail(Kind::malformedLine, line, "E: time " + std::string(f[0]) + " runs backwards");
        }
        times.push_back(time);
        recording.events.push_back(e);
        return true;
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
                if (!recording.events.empty()) {
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

    // Axes that events use but the header does not describe: the span of the
    // values seen, so that positions still normalise.
    void deriveMissingAxes() {
        std::map<std::uint16_t, AxisRange> seen;
        for (const auto& e : recording.events) {
            if (e.type != kEvAbs || e.code > kAbsMax || recording.device.axes.contains(e.code)) continue;
            if (e.code == kAbsMtTrackingId && e.value < 0) continue;  // -1 frees a slot; not a value of the axis
            auto [it, inserted] = seen.try_emplace(e.code, AxisRange{e.value, e.value, 0, 0, 0, true});
            if (!inserted) {
                it->second.minimum = std::min(it->second.minimum, e.value);
                it->second.maximum = std::max(it->second.maximum, e.value);
            }
        }
        if (auto slot = seen.find(kAbsMtSlot); slot != seen.end()) slot->second.minimum = 0;
        recording.device.axes.merge(seen);
    }

    void rebaseTimes() {
        if (times.empty()) return;
        const std::int64_t first = times.front();
        recording.firstEventEpoch =
            static_cast<double>(first / 1'000'000'000) + static_cast<double>(first % 1'000'000'000) / 1e9;
        for (std::size_t i = 0; i < times.size(); ++i) {
            recording.events[i].time = static_cast<double>(times[i] - first) / 1e9;
        }
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

    if (!parser.sawEvemuLine) return error(Kind::notEvemu, 0, "not an evemu recording: no device or event lines");
    if (parser.recording.events.empty()) return error(Kind::noEvents, 0, "the recording holds no events");
    parser.deriveMissingAxes();
    parser.rebaseTimes();
    if (options.requireMultitouch && !parser.recording.device.isMultitouch()) {
        return error(Kind::noMultitouchAxes, 0, "the device has no multitouch position axes");
    }
    return std::move(parser.recording);
}

EvemuReader::Result EvemuReader::readFile(const std::string& path, Options options) {
    // Non-blocking, so that opening a FIFO without a writer cannot hang; only
    // a regular file has an end to read to.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return error(Kind::unreadableFile, 0, "cannot open " + path + ": " + std::strerror(errno));
    struct stat status {};
    std::optional<std::string> refusal;
    if (::fstat(fd, &status) != 0) {
        refusal = "cannot read " + path + ": " + std::strerror(errno);
    } else if (S_ISDIR(status.st_mode)) {
        refusal = path + " is a folder";
    } else if (!S_ISREG(status.st_mode)) {
        refusal = path + " is not a regular file";
    }
    std::string contents;
    if (!refusal) {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                contents.append(buffer, std::size_t(n));
            } else if (n == 0) {
                break;
            } else if (errno != EINTR) {
                refusal = "cannot read " + path + ": " + std::strerror(errno);
                break;
            }
        }
    }
    ::close(fd);
    if (refusal) return error(Kind::unreadableFile, 0, *refusal);
    return parse(contents, options);
}

}  // namespace glidra::evdev
