#include "platform/evdev/EvemuReader.h"

#include "platform/evdev/EvdevCodes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
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

// The blank-separated fields of `s` into `out`, which keeps its storage from
// one line to the next: a recording has millions of lines.
void splitFields(std::string_view s, std::vector<std::string_view>& out) {
    out.clear();
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isBlank(s[i])) ++i;
        const std::size_t start = i;
        while (i < s.size() && !isBlank(s[i])) ++i;
        if (i > start) out.push_back(s.substr(start, i - start));
    }
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

Error makeError(Kind kind, int line, std::string message) { return Error{kind, line, std::move(message)}; }

// An E: line: its time as recorded, in nanoseconds, and the event.
struct TimedEvent {
    std::int64_t nanoseconds = 0;
    EvdevEvent event;
};

// The value of each byte as a hex digit, -1 for the others: one look-up
// per digit of the two hex fields of every event line.
constexpr std::array<std::int8_t, 256> kHexDigits = [] {
    std::array<std::int8_t, 256> digits{};
    digits.fill(-1);
    for (int c = '0'; c <= '9'; ++c) digits[std::size_t(c)] = std::int8_t(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) digits[std::size_t(c)] = std::int8_t(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c) digits[std::size_t(c)] = std::int8_t(c - 'A' + 10);
    return digits;
}();

int hexDigit(char c) { return kHexDigits[static_cast<unsigned char>(c)]; }

// The time text of the last event line read quickly, and its value: the
// events of one frame share their time, so most lines repeat the text.
struct LastStamp {
    std::array<char, 20> text{};  // at most ten digits, a dot and nine
    std::size_t size = 0;
    std::int64_t time = 0;
};

// The decimal digits at `p`, at most `maxDigits` and none at or past `end`:
// their value, with `p` moved past them.
std::int64_t readDigits(const char*& p, const char* end, std::ptrdiff_t maxDigits) {
    const char* const stop = p + std::min(end - p, maxDigits);
    std::int64_t value = 0;
    for (unsigned digit = 0; p < stop && (digit = unsigned(*p - '0')) < 10; ++p) value = value * 10 + digit;
    return value;
}

// The usual event line after its "E:", "<sec>[.<fraction>] <type> <code>
// <value>" with hex type and code of at most four digits, read without
// splitting it into fields: nearly every line canonicalEvent leaves is one.
// False for anything else, which the field by field reading then judges, so
// that both give the same events and the same errors.
bool quickEvent(std::string_view s, LastStamp& last, std::string_view& timeText, std::int64_t& time, EvdevEvent& e) {
    const char* p = s.data();
    const char* const end = p + s.size();
    const auto blanks = [&] {
        const char* const start = p;
        while (p < end && isBlank(*p)) ++p;
        return p > start;
    };
    const auto fieldEnds = [&] { return p == end || isBlank(*p) || *p == '#'; };
    const auto decimal = [&](std::ptrdiff_t maxDigits, std::int64_t& value) {
        const char* const start = p;
        value = readDigits(p, end, maxDigits);
        return p > start;
    };
    const auto hex = [&](std::uint16_t& value) {
        const char* const start = p;
        unsigned v = 0;
        for (int digit = 0; p < end && p - start < 4 && (digit = hexDigit(*p)) >= 0; ++p) v = v * 16 + unsigned(digit);
        value = static_cast<std::uint16_t>(v);
        return p > start && fieldEnds();
    };

    blanks();
    const char* const timeStart = p;
    std::int64_t stamp = 0;
    if (last.size > 0 && std::size_t(end - p) > last.size && std::memcmp(p, last.text.data(), last.size) == 0 &&
        isBlank(p[last.size])) {
        // The same text reads as the same time.
        p += last.size;
        stamp = last.time;
    } else {
        std::int64_t seconds = 0;
        std::int64_t fraction = 0;
        if (!decimal(10, seconds) || seconds > kMaxSeconds) return false;
        if (p < end && *p == '.') {
            ++p;
            const char* const fractionStart = p;
            if (!decimal(9, fraction)) return false;
            for (auto digits = p - fractionStart; digits < 9; ++digits) fraction *= 10;
        }
        if (!fieldEnds()) return false;
        stamp = seconds * 1'000'000'000 + fraction;
        last.size = std::size_t(p - timeStart);
        std::memcpy(last.text.data(), timeStart, last.size);
        last.time = stamp;
    }
    timeText = std::string_view(timeStart, std::size_t(p - timeStart));
    if (!blanks() || !hex(e.type) || e.type > kMaxEventType || !blanks() || !hex(e.code) || !blanks()) return false;
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    std::int64_t value = 0;
    if (!decimal(10, value) || !fieldEnds()) return false;
    value = negative ? -value : value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    blanks();
    if (p != end && *p != '#') return false;
    time = stamp;
    e.value = static_cast<std::int32_t>(value);
    return true;
}

// Whether the text at `p`, which holds at least as many bytes as the stamp,
// begins as the stamp does: eight bytes at a time, the last eight perhaps
// overlapping the ones before.
bool repeats(const char* p, const LastStamp& last) {
    const std::size_t size = last.size;
    const char* const stamp = last.text.data();
    if (size < 8) return std::memcmp(p, stamp, size) == 0;
    const auto word = [](const char* at) {
        std::uint64_t value = 0;
        std::memcpy(&value, at, 8);
        return value;
    };
    static_assert(sizeof(LastStamp::text) <= 24, "three words cover a stamp");
    return word(p) == word(stamp) && (size <= 16 || word(p + 8) == word(stamp + 8)) &&
           word(p + size - 8) == word(stamp + size - 8);
}

// The line as evemu-record writes nearly all of a frame's: "E: <time> <type>
// <code> <value>" with single blanks, the time either the text of the line
// before or "<seconds>.<fraction>", four hex digits to the type and to the
// code and nothing after the value, read at once from `p` on. Where the
// value ends, with a new time taken into `last`; nothing for any other line,
// which quickEvent then reads, so that both give the same events.
const char* canonicalEvent(const char* p, const char* end, LastStamp& last, TimedEvent& out) {
    // "E: ", a time, " tttt cccc " and a digit at least.
    constexpr std::size_t kAfterTime = 12;
    if (std::size_t(end - p) < 3 + 1 + kAfterTime || p[0] != 'E' || p[1] != ':' || p[2] != ' ') return nullptr;
    p += 3;
    const char* const timeStart = p;
    std::int64_t time = last.time;
    const bool repeated =
        last.size > 0 && std::size_t(end - p) >= last.size + kAfterTime && repeats(p, last) && p[last.size] == ' ';
    if (repeated) {
        p += last.size;
    } else {
        const std::int64_t seconds = readDigits(p, end, 10);
        if (p == timeStart || p == end || *p != '.' || seconds > kMaxSeconds) return nullptr;
        const char* const fractionStart = ++p;
        std::int64_t fraction = readDigits(p, end, 9);
        if (p == fractionStart || std::size_t(end - p) < kAfterTime) return nullptr;
        for (auto digits = p - fractionStart; digits < 9; ++digits) fraction *= 10;
        time = seconds * 1'000'000'000 + fraction;
    }
    const char* const timeEnd = p;
    if (p[0] != ' ' || p[5] != ' ' || p[10] != ' ') return nullptr;
    // No type is above 0x1f: "000x" or "001x".
    static_assert(kMaxEventType == 0x1f);
    if (p[1] != '0' || p[2] != '0' || (p[3] != '0' && p[3] != '1')) return nullptr;
    const int t3 = hexDigit(p[4]);
    const int c0 = hexDigit(p[6]), c1 = hexDigit(p[7]), c2 = hexDigit(p[8]), c3 = hexDigit(p[9]);
    if ((t3 | c0 | c1 | c2 | c3) < 0) return nullptr;
    const auto type = static_cast<std::uint16_t>((p[3] - '0') << 4 | t3);
    p += 11;
    const bool negative = *p == '-';
    if (negative) ++p;
    const char* const digits = p;
    std::int64_t value = readDigits(p, end, 10);
    if (p == digits) return nullptr;
    value = negative ? -value : value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
        return nullptr;
    }
    if (!repeated) {
        // As quickEvent keeps it, so that either reads the next line alike.
        last.size = std::size_t(timeEnd - timeStart);
        std::memcpy(last.text.data(), timeStart, last.size);
        last.time = time;
    }
    out.nanoseconds = time;
    out.event.type = type;
    out.event.code = static_cast<std::uint16_t>(c0 << 12 | c1 << 8 | c2 << 4 | c3);
    out.event.value = static_cast<std::int32_t>(value);
    return p;
}

// A whole line, without its line end, as canonicalEvent reads it.
bool canonicalEvent(std::string_view line, LastStamp& last, TimedEvent& out) {
    const char* const end = line.data() + line.size();
    return canonicalEvent(line.data(), end, last, out) == end;
}

// The first line of `ahead`, line end included, as canonicalEvent reads it:
// its size with the line end, or 0 when it is no such line or its end is not
// among the bytes. Every byte of such a line is one it requires, so it holds
// no byte that only a binary file has, and the line end is the first there is.
std::size_t canonicalLine(std::string_view ahead, LastStamp& last, TimedEvent& out) {
    const char* const end = ahead.data() + ahead.size();
    const char* const valueEnd = canonicalEvent(ahead.data(), end, last, out);
    if (valueEnd == nullptr || valueEnd == end || *valueEnd != '\n') return 0;
    return std::size_t(valueEnd - ahead.data()) + 1;
}

// Parses one line after another; the device lines fill `device`, an event
// line hands its event back.
struct LineParser {
    enum class Outcome { nothing, event, failed };

    DeviceDescription device;
    bool hasDeviceHeader = false;
    bool sawEvemuLine = false;
    bool sawEvent = false;
    std::int64_t lastTime = 0;
    std::optional<Error> failure;
    std::vector<EvemuReader::Warning> warnings;
    std::vector<std::string_view> fields;
    LastStamp lastStamp;

    bool fail(Kind kind, int line, std::string message) {
        failure = makeError(kind, line, std::move(message));
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
        device.bustype = values[0];
        device.vendor = values[1];
        device.product = values[2];
        device.version = values[3];
        return true;
    }

    bool bits(const std::vector<std::string_view>& f, int line) {
        std::uint16_t type = 0;
        if (f.empty() || !parseNumber(f[0], 16, type) || type > kMaxEventType) {
            return fail(Kind::malformedLine, line, "B: needs an event type from 00 to 1f");
        }
        return hexBytes(f, 1, device.eventBits[type], line);
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
        device.axes[code] = AxisRange{values[0], values[1], values[2], values[3], values[4], false};
        // ABS_MT_SLOT counts from 0 to the last slot: one slot is 0 to 0.
        if (values[0] > values[1] || (values[0] == values[1] && code != kAbsMtSlot)) {
            warnings.push_back({line, "A: axis " + std::string(f[0]) + " has no range: minimum " +
                                          std::to_string(values[0]) +
                                          (values[0] > values[1] ? " is above maximum " : " equals maximum ") +
                                          std::to_string(values[1])});
        }
        return true;
    }

    bool event(const std::vector<std::string_view>& f, int line, TimedEvent& out) {
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
        return take(time, e, f[0], line, out);
    }

    bool take(std::int64_t time, const EvdevEvent& e, std::string_view timeText, int line, TimedEvent& out) {
        if (!inOrder(time, timeText, line)) return false;
        out = TimedEvent{time, e};
        return true;
    }

    bool inOrder(std::int64_t time, std::string_view timeText, int line) {
        // The kernel stamps events in order; a recording whose time runs
        // backwards has been edited or spliced, and gestures cannot be timed.
        if (sawEvent && time < lastTime) {
            return fail(Kind::malformedLine, line, "E: time " + std::string(timeText) + " runs backwards");
        }
        sawEvent = true;
        lastTime = time;
        return true;
    }

    // The first line of `ahead` if it is one that canonicalLine reads: its
    // size, line end included, with its outcome in `outcome`; else 0.
    std::size_t canonical(std::string_view ahead, int number, TimedEvent& out, Outcome& outcome) {
        const std::size_t size = canonicalLine(ahead, lastStamp, out);
        if (size > 0) {
            sawEvemuLine = true;
            outcome =
                inOrder(out.nanoseconds, ahead.substr(3, lastStamp.size), number) ? Outcome::event : Outcome::failed;
        }
        return size;
    }

    // One line without its line end.
    Outcome line(std::string_view raw, int number, TimedEvent& out) {
        // Straight into `out`, field by field, as it is read.
        if (canonicalEvent(raw, lastStamp, out)) {
            sawEvemuLine = true;
            return inOrder(out.nanoseconds, raw.substr(3, lastStamp.size), number) ? Outcome::event : Outcome::failed;
        }
        const auto result = [](bool ok) { return ok ? Outcome::nothing : Outcome::failed; };
        std::string_view text = trim(raw);
        if (text.empty() || text.front() == '#') return Outcome::nothing;
        const char tag = text.size() >= 2 && text[1] == ':' ? text[0] : '\0';
        const std::string_view rest = text.substr(tag ? 2 : 0);
        switch (tag) {
            case 'N':
            case 'I':
            case 'P':
            case 'B':
            case 'A':
                if (sawEvent) return result(fail(Kind::headerAfterEvents, number, "device line after the first event"));
                sawEvemuLine = true;
                hasDeviceHeader = true;
                break;
            case 'E': {
                sawEvemuLine = true;
                std::int64_t time = 0;
                EvdevEvent e;
                std::string_view timeText;
                if (quickEvent(rest, lastStamp, timeText, time, e)) {
                    return take(time, e, timeText, number, out) ? Outcome::event : Outcome::failed;
                }
                break;
            }
            default:
                if (!sawEvemuLine) return result(fail(Kind::notEvemu, number, "not an evemu recording"));
                return result(
                    fail(Kind::malformedLine, number, "unknown line \"" + std::string(text.substr(0, 20)) + "\""));
        }
        if (tag == 'N') {
            // Names are free text and may hold a '#'.
            device.name = std::string(trim(rest));
            return Outcome::nothing;
        }
        splitFields(withoutComment(rest), fields);
        const std::vector<std::string_view>& f = fields;
        switch (tag) {
            case 'I':
                return result(ids(f, number));
            case 'P':
                return result(hexBytes(f, 0, device.properties, number));
            case 'B':
                return result(bits(f, number));
            case 'A':
                return result(axis(f, number));
            default:
                return event(f, number, out) ? Outcome::event : Outcome::failed;
        }
    }
};

bool isBinary(unsigned char c) { return (c < 0x20 && c != '\t' && c != '\r') || c == 0x7f; }

// The bytes of the eight (in memory order, as a little endian number) that
// are below 0x20 or are 0x7f, a tab, a carriage return and a line end among
// them: the high bit of each such byte is set. Exact up to the lowest; above
// it a borrow may set more.
std::uint64_t controlBytes(std::uint64_t word) {
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t highs = 0x8080808080808080;
    const std::uint64_t below = (word - ones * 0x20) & ~word & highs;
    const std::uint64_t del = word ^ (ones * 0x7f);
    return below | ((del - ones) & ~del & highs);
}

constexpr std::size_t kNoByte = std::string_view::npos;

// Where the line at `p` ends: at its '\n', or at `size` when the `size`
// bytes hold none. `binary` is then the offset of the line's first byte that
// no text recording holds, or kNoByte. One look at every byte for both, eight
// bytes at a time, byte by byte only where a line end or such a byte may be.
std::size_t lineEnd(const char* p, std::size_t size, std::size_t& binary) {
    binary = kNoByte;
    std::size_t i = 0;
    for (;;) {
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, p + i, 8);
            const std::uint64_t control = controlBytes(word);
            if (control == 0) continue;
            if constexpr (std::endian::native == std::endian::little) {
                // Most often the first such byte is the line's end.
                const std::size_t first = i + std::size_t(std::countr_zero(control) / 8);
                if (p[first] == '\n') return first;
            }
            break;
        }
        for (const std::size_t stop = std::min(size, i + 8); i < stop; ++i) {
            const auto c = static_cast<unsigned char>(p[i]);
            if (c == '\n') return i;
            if (binary == kNoByte && isBinary(c)) binary = i;
        }
        if (i == size) return size;
    }
}

// A stray NUL or control byte means this is not a text recording at all.
Error binaryByte(unsigned char byte, int number) {
    return makeError(Kind::binaryData, number, "unexpected byte 0x" + hexByte(byte) + ": not a text recording");
}

// The lines of a recording, without their '\n', from the start again when
// rewound.
class LineSource {
public:
    virtual ~LineSource() = default;
    // False at the end, or when reading failed (then failure is set).
    // `binary`: as lineEnd gives it.
    virtual bool next(std::string_view& line, std::size_t& binary) = 0;
    virtual bool rewind() = 0;

    // The bytes held after the lines handed out: the next line's start, or
    // more, or nothing even before the end; next() reads on.
    std::string_view ahead() const { return {cursor_, std::size_t(limit_ - cursor_)}; }
    // Hands out the first `size` bytes of ahead(), which end with a '\n', as
    // a line, without looking at them again.
    void skip(std::size_t size) {
        cursor_ += size;
        consumed += size;
    }

    // Bytes handed out as lines so far, line ends included.
    std::uint64_t consumed = 0;
    std::optional<std::string> failure;

protected:
    const char* cursor_ = nullptr;
    const char* limit_ = nullptr;
};

class TextSource final : public LineSource {
public:
    explicit TextSource(std::string_view text) : text_(text) { rewind(); }

    bool next(std::string_view& line, std::size_t& binary) override {
        if (cursor_ == limit_) return false;
        const std::size_t held = std::size_t(limit_ - cursor_);
        const std::size_t end = lineEnd(cursor_, held, binary);
        line = std::string_view(cursor_, end);
        // A last line without its '\n' counts one, as if it had it.
        consumed += end + 1;
        cursor_ += std::min(end + 1, held);
        return true;
    }

    bool rewind() override {
        cursor_ = text_.data();
        limit_ = text_.data() + text_.size();
        consumed = 0;
        return true;
    }

private:
    std::string_view text_;
};

// A regular file through a buffer that grows only for a line longer than it.
class FileSource final : public LineSource {
public:
    FileSource(int fd, std::string path) : fd_(fd), path_(std::move(path)), buffer_(kBufferSize) { empty(); }
    ~FileSource() override { ::close(fd_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool next(std::string_view& line, std::size_t& binary) override {
        for (;;) {
            const std::size_t held = std::size_t(limit_ - cursor_);
            if (const std::size_t end = lineEnd(cursor_, held, binary); end < held) {
                line = std::string_view(cursor_, end);
                skip(end + 1);
                return true;
            }
            if (atEnd_) {
                if (held == 0) return false;
                line = std::string_view(cursor_, held);
                skip(held);
                return true;
            }
            fill();
        }
    }

    bool rewind() override {
        if (::lseek(fd_, 0, SEEK_SET) != 0) {
            failure = "cannot read " + path_ + ": " + std::strerror(errno);
            return false;
        }
        empty();
        atEnd_ = false;
        consumed = 0;
        return true;
    }

private:
    static constexpr std::size_t kBufferSize = 256 * 1024;

    void empty() { cursor_ = limit_ = buffer_.data(); }

    // Reads more after the part of a line already held.
    void fill() {
        const std::size_t held = std::size_t(limit_ - cursor_);
        if (cursor_ != buffer_.data()) std::memmove(buffer_.data(), cursor_, held);
        if (held == buffer_.size()) buffer_.resize(buffer_.size() * 2);
        cursor_ = buffer_.data();
        limit_ = cursor_ + held;
        for (;;) {
            const ssize_t n = ::read(fd_, buffer_.data() + held, buffer_.size() - held);
            if (n > 0) {
                limit_ += n;
                return;
            }
            if (n == 0) {
                atEnd_ = true;
                return;
            }
            if (errno != EINTR) {
                failure = "cannot read " + path_ + ": " + std::strerror(errno);
                atEnd_ = true;
                limit_ = cursor_;  // what was held of the line is no line
                return;
            }
        }
    }

    int fd_;
    std::string path_;
    std::vector<char> buffer_;
    bool atEnd_ = false;
};

// Axes that events use but the header does not describe: the span of the
// values seen, so that positions still normalise.
class DerivedAxes {
public:
    void see(const DeviceDescription& device, const EvdevEvent& e) {
        if (e.type != kEvAbs || e.code > kAbsMax) return;
        // No device line comes after the first event, so the header's axes
        // are all known at the first one.
        if (!described_) {
            described_ = 0;
            for (const auto& [code, range] : device.axes) *described_ |= std::uint64_t{1} << code;
        }
        if ((*described_ >> e.code & 1) != 0) return;
        if (e.code == kAbsMtTrackingId && e.value < 0) return;  // -1 frees a slot; not a value of the axis
        auto [it, inserted] = seen_.try_emplace(e.code, AxisRange{e.value, e.value, 0, 0, 0, true});
        if (!inserted) {
            it->second.minimum = std::min(it->second.minimum, e.value);
            it->second.maximum = std::max(it->second.maximum, e.value);
        }
    }

    void addTo(DeviceDescription& device) {
        if (auto slot = seen_.find(kAbsMtSlot); slot != seen_.end()) slot->second.minimum = 0;
        device.axes.merge(seen_);
    }

private:
    std::map<std::uint16_t, AxisRange> seen_;
    // Bit n: the header describes axis n (no axis code is above 0x3f).
    std::optional<std::uint64_t> described_;
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

struct EvemuStream::Impl {
    std::unique_ptr<LineSource> source;
    std::string path;  // empty for text in memory
    std::optional<Error> failure;

    // Known once the first pass is done.
    DeviceDescription device;
    bool hasDeviceHeader = false;
    bool reportsTouchKey = false;
    std::vector<Warning> warnings;
    std::size_t eventCount = 0;
    std::uint64_t size = 0;
    std::int64_t firstTime = 0;

    // The second pass.
    LineParser parser;
    int lineNumber = 0;
    std::size_t eventsRead = 0;
    // The last event's time as recorded (no time is negative), and rebased.
    std::int64_t timeRead = -1;
    double secondsRead = 0;

    // Reads the whole input: its errors, its header, its derived axes.
    std::optional<Error> scan(const Options& options) {
        LineParser first;
        DerivedAxes derived;
        // A binary byte anywhere outranks the first bad line, so that no
        // binary file is reported as a malformed recording; once a line has
        // failed, the rest is only searched for such bytes.
        std::optional<Error> lineFailure;
        std::string_view raw;
        std::size_t binary = kNoByte;
        for (int number = 1;; ++number) {
            TimedEvent timed;
            auto outcome = LineParser::Outcome::nothing;
            if (const std::size_t size = lineFailure ? 0 : first.canonical(source->ahead(), number, timed, outcome)) {
                source->skip(size);
            } else {
                if (!source->next(raw, binary)) break;
                if (binary != kNoByte) return binaryByte(static_cast<unsigned char>(raw[binary]), number);
                if (lineFailure) continue;
                outcome = first.line(lineText(raw, number), number, timed);
            }
            switch (outcome) {
                case LineParser::Outcome::failed:
                    lineFailure = first.failure;
                    break;
                case LineParser::Outcome::event:
                    if (eventCount == 0) firstTime = timed.nanoseconds;
                    ++eventCount;
                    reportsTouchKey = reportsTouchKey || (timed.event.type == kEvKey && timed.event.code == kBtnTouch);
                    derived.see(first.device, timed.event);
                    break;
                case LineParser::Outcome::nothing:
                    break;
            }
        }
        if (source->failure) return makeError(Kind::unreadableFile, 0, *source->failure);
        if (lineFailure) return lineFailure;
        if (!first.sawEvemuLine) {
            return makeError(Kind::notEvemu, 0, "not an evemu recording: no device or event lines");
        }
        if (eventCount == 0) return makeError(Kind::noEvents, 0, "the recording holds no events");
        size = source->consumed;
        device = std::move(first.device);
        hasDeviceHeader = first.hasDeviceHeader;
        warnings = std::move(first.warnings);
        derived.addTo(device);
        if (options.requireMultitouch && !device.isMultitouch()) {
            return makeError(Kind::noMultitouchAxes, 0, "the device has no multitouch position axes");
        }
        if (!source->rewind()) return makeError(Kind::unreadableFile, 0, *source->failure);
        return std::nullopt;
    }

    std::optional<EvdevEvent> next() {
        if (failure) return std::nullopt;
        std::string_view raw;
        std::size_t binary = kNoByte;
        for (;;) {
            TimedEvent timed;
            auto outcome = LineParser::Outcome::nothing;
            if (const std::size_t size = parser.canonical(source->ahead(), lineNumber + 1, timed, outcome)) {
                source->skip(size);
            } else if (!source->next(raw, binary)) {
                break;
            } else if (binary != kNoByte) {
                outcome = LineParser::Outcome::failed;
            } else {
                outcome = parser.line(lineText(raw, lineNumber + 1), lineNumber + 1, timed);
            }
            ++lineNumber;
            if (outcome == LineParser::Outcome::failed ||
                (outcome == LineParser::Outcome::event && eventsRead == eventCount)) {
                return changed();
            }
            if (outcome == LineParser::Outcome::event) {
                ++eventsRead;
                // A frame's events share their time: it is worked out once.
                if (timed.nanoseconds != timeRead) {
                    timeRead = timed.nanoseconds;
                    secondsRead = static_cast<double>(timed.nanoseconds - firstTime) / 1e9;
                }
                // Field by field, as the parser wrote them.
                return EvdevEvent{secondsRead, timed.event.type, timed.event.code, timed.event.value};
            }
        }
        if (source->failure) {
            failure = makeError(Kind::unreadableFile, 0, *source->failure);
        } else if (eventsRead != eventCount || source->consumed != size) {
            return changed();
        }
        return std::nullopt;
    }

    std::nullopt_t changed() {
        failure = makeError(Kind::unreadableFile, 0,
                            (path.empty() ? std::string("the recording") : path) + " changed while it was read");
        return std::nullopt;
    }

    // The line without a carriage return and, on the first line, without the
    // byte order mark an editor may have saved.
    static std::string_view lineText(std::string_view raw, int number) {
        if (number == 1 && raw.starts_with(kByteOrderMark)) raw.remove_prefix(kByteOrderMark.size());
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        return raw;
    }
};

std::string EvemuReader::Error::describe() const {
    return line > 0 ? "line " + std::to_string(line) + ": " + message : message;
}

std::string EvemuReader::Warning::describe() const { return "line " + std::to_string(line) + ": " + message; }

namespace {

EvemuReader::Result collect(EvemuStream stream) {
    if (!stream.ok()) return stream.error();
    Recording recording;
    recording.device = stream.device();
    recording.hasDeviceHeader = stream.hasDeviceHeader();
    recording.firstEventEpoch = stream.firstEventEpoch();
    recording.events.reserve(stream.eventCount());
    while (auto event = stream.next()) recording.events.push_back(*event);
    if (!stream.ok()) return stream.error();
    return EvemuReader::Result(std::move(recording), stream.warnings());
}

}  // namespace

EvemuReader::Result EvemuReader::parse(std::string_view text, Options options) {
    return collect(EvemuStream::fromText(text, options));
}

EvemuReader::Result EvemuReader::readFile(const std::string& path, Options options) {
    return collect(EvemuStream::open(path, options));
}

EvemuStream::EvemuStream(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
EvemuStream::EvemuStream(EvemuStream&&) noexcept = default;
EvemuStream& EvemuStream::operator=(EvemuStream&&) noexcept = default;
EvemuStream::~EvemuStream() = default;

EvemuStream EvemuStream::fromText(std::string_view text, Options options) {
    auto impl = std::make_unique<Impl>();
    impl->source = std::make_unique<TextSource>(text);
    impl->failure = impl->scan(options);
    return EvemuStream(std::move(impl));
}

EvemuStream EvemuStream::open(const std::string& path, Options options) {
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    // Non-blocking, so that opening a FIFO without a writer cannot hang; only
    // a regular file has an end to read to, and can be read twice.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        impl->failure = makeError(Kind::unreadableFile, 0, "cannot open " + path + ": " + std::strerror(errno));
        return EvemuStream(std::move(impl));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        impl->failure = makeError(Kind::unreadableFile, 0, "cannot read " + path + ": " + std::strerror(errno));
    } else if (S_ISDIR(status.st_mode)) {
        impl->failure = makeError(Kind::unreadableFile, 0, path + " is a folder");
    } else if (!S_ISREG(status.st_mode)) {
        impl->failure = makeError(Kind::unreadableFile, 0, path + " is not a regular file");
    }
    if (impl->failure) {
        ::close(fd);
        return EvemuStream(std::move(impl));
    }
    impl->source = std::make_unique<FileSource>(fd, path);
    impl->failure = impl->scan(options);
    return EvemuStream(std::move(impl));
}

bool EvemuStream::ok() const { return !impl_->failure; }
const EvemuStream::Error& EvemuStream::error() const { return *impl_->failure; }
const DeviceDescription& EvemuStream::device() const { return impl_->device; }
bool EvemuStream::hasDeviceHeader() const { return impl_->hasDeviceHeader; }
bool EvemuStream::reportsTouchKey() const { return impl_->reportsTouchKey; }
std::size_t EvemuStream::eventCount() const { return impl_->eventCount; }
const std::vector<EvemuStream::Warning>& EvemuStream::warnings() const { return impl_->warnings; }

double EvemuStream::firstEventEpoch() const {
    const std::int64_t first = impl_->firstTime;
    return static_cast<double>(first / 1'000'000'000) + static_cast<double>(first % 1'000'000'000) / 1e9;
}

std::optional<EvdevEvent> EvemuStream::next() { return impl_->next(); }

}  // namespace glidra::evdev
