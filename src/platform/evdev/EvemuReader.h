#pragma once

#include "platform/evdev/Recording.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

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
// bad input gives an Error that names the line. parse() and readFile() hold
// the whole recording; EvemuStream reads one event at a time.
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

    // Something the reader accepted that a tool should mention: an A: line
    // whose range has no extent (minimum at or above maximum), which no value
    // can be placed in.
    struct Warning {
        int line = 0;  // 1-based
        std::string message;

        // "line 12: ..."
        std::string describe() const;

        friend bool operator==(const Warning&, const Warning&) = default;
    };

    class Result {
    public:
        Result(Recording recording, std::vector<Warning> warnings = {})
            : value_(std::move(recording)), warnings_(std::move(warnings)) {}
        Result(Error error) : value_(std::move(error)) {}

        bool ok() const { return std::holds_alternative<Recording>(value_); }
        // Only when ok().
        const Recording& recording() const& { return std::get<Recording>(value_); }
        Recording&& recording() && { return std::get<Recording>(std::move(value_)); }
        // Only when !ok().
        const Error& error() const { return std::get<Error>(value_); }
        // In line order; only when ok().
        const std::vector<Warning>& warnings() const { return warnings_; }

    private:
        std::variant<Recording, Error> value_;
        std::vector<Warning> warnings_;
    };

    static Result parse(std::string_view text, Options options);
    static Result parse(std::string_view text) { return parse(text, Options{}); }
    static Result readFile(const std::string& path, Options options);
    static Result readFile(const std::string& path) { return readFile(path, Options{}); }
};

// A recording read one event at a time, in constant memory however long it
// is. Opening reads the whole input once, so that every error the reader
// would give for it is known before the first event, and so are the ranges of
// the axes the header does not describe; next() then reads it a second time.
class EvemuStream {
public:
    using Error = EvemuReader::Error;
    using Warning = EvemuReader::Warning;
    using Options = EvemuReader::Options;

    // A regular file, read through a small buffer.
    static EvemuStream open(const std::string& path, Options options);
    // Text in memory, which must outlive the stream.
    static EvemuStream fromText(std::string_view text, Options options);

    EvemuStream(EvemuStream&&) noexcept;
    EvemuStream& operator=(EvemuStream&&) noexcept;
    ~EvemuStream();

    // Opening and every event so far were read without error.
    bool ok() const;
    // Only when !ok().
    const Error& error() const;

    // What Recording says of the whole recording; only when opening was ok().
    const DeviceDescription& device() const;
    bool hasDeviceHeader() const;
    double firstEventEpoch() const;
    bool reportsTouchKey() const;
    std::size_t eventCount() const;
    // The reader's warnings about the whole recording, in line order.
    const std::vector<Warning>& warnings() const;

    // The next event in file order, its time rebased as in Recording; nothing
    // after the last one, or when reading failed (the file changed since it
    // was opened, or could no longer be read: then !ok()).
    std::optional<EvdevEvent> next();

private:
    struct Impl;
    explicit EvemuStream(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace glidra::evdev
