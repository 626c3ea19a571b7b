#pragma once

#include "platform/evdev/Recording.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace glidra::evdev {

// Reads evemu recordings (evemu-record's text format):
//
//   # comment
//   N: <device name>
//   I: <bus> <vendor> <product> <version>          (hex)
//   P: <property mask bytes>                        (hex, 8 a line)
//   B: <type> <event code mask bytes>               (hex)
//   A: <code> <min> <max> <fuzz> <flat> [<resolution>]   (code hex, the rest decimal)
//   E: <sec>.<usec> <type> <code> <value>           (type and code hex, value signed decimal)
//
// Values may be zero-padded ("-001"); any line may end in a "#" comment. A
// recording without header lines is accepted: the range of each axis its
// events use is then taken from the smallest and largest values seen, and
// flagged (AxisRange::derivedFromData) so that a tool can warn. Never throws:
// bad input gives an Error that names the line.
class EvemuReader {
public:
    struct Options {
        // Refuse a recording that has no ABS_MT_POSITION_X/Y axes.
        bool requireMultitouch = false;
    };

    struct Error {
        enum class Kind {
            unreadableFile,     // the file could not be opened or read
            binaryData,         // control or NUL bytes: not a text file
            notEvemu,           // the first line that is not a comment is no evemu line
            malformedLine,      // an unknown line, or a field that is not a number in range
            truncatedEvent,     // an E: line with fewer than four fields
            headerAfterEvents,  // a device line after the first event
            noEvents,           // a device description without any event
            noMultitouchAxes,   // asked for multitouch, and the device has no MT positions
        };
        Kind kind = Kind::malformedLine;
        int line = 0;  // 1-based; 0 when the error concerns the whole input
        std::string message;

        // "line 12: ..." or the message alone.
        std::string describe() const;

        friend bool operator==(const Error&, const Error&) = default;
    };

    class Result {
    public:
        Result(Recording recording) : value_(std::move(recording)) {}
        Result(Error error) : value_(std::move(error)) {}

        bool ok() const { return std::holds_alternative<Recording>(value_); }
        // Only when ok().
        const Recording& recording() const& { return std::get<Recording>(value_); }
        Recording&& recording() && { return std::get<Recording>(std::move(value_)); }
        // Only when !ok().
        const Error& error() const { return std::get<Error>(value_); }

    private:
        std::variant<Recording, Error> value_;
    };

    static Result parse(std::string_view text, Options options);
    static Result parse(std::string_view text) { return parse(text, Options{}); }
    static Result readFile(const std::string& path, Options options);
    static Result readFile(const std::string& path) { return readFile(path, Options{}); }
};

// A recording file read as a stream, in memory that does not grow with its
// length. Opening reads the whole file once, checking every line as
// EvemuReader does and learning what only all of the events tell (the ranges
// of the axes the header leaves out, whether BTN_TOUCH is reported); next()
// then reads the events again, one at a time.
class EvemuStream {
public:
    EvemuStream(const std::string& path, EvemuReader::Options options);
    explicit EvemuStream(const std::string& path) : EvemuStream(path, EvemuReader::Options{}) {}
    ~EvemuStream();
    EvemuStream(const EvemuStream&) = delete;
    EvemuStream& operator=(const EvemuStream&) = delete;

    // Why the recording cannot be read, once opening or next() failed.
    const std::optional<EvemuReader::Error>& error() const { return error_; }
    // The recording without its events, when it opened.
    const Recording& header() const { return header_; }
    // Some event carries BTN_TOUCH (see Recording::reportsTouchKey()).
    bool reportsTouchKey() const;
    // The next event, its time rebased as EvemuReader rebases it; nothing at
    // the end, or once the file could not be read again as it was (error()).
    std::optional<EvdevEvent> next();

private:
    struct State;
    std::unique_ptr<State> state_;
    std::optional<EvemuReader::Error> error_;
    Recording header_;
};

}  // namespace glidra::evdev
