#pragma once

#include "common/EnumTable.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace glidra {

// What the listener recovery saw or did about the trackpad connection.
enum class ConnectionLogEvent {
    start,             // the recovery started
    stop,              // a running recovery stopped
    manualReconnect,   // the user asked to reconnect
    connected,         // a start of listening succeeded
    connectionFailed,  // a start of listening failed
    sleep,             // the system is about to sleep
    wake,              // the system or its screens woke, or the session became active again
    deviceChanged,     // a multitouch device arrived or left
    deviceMissing,     // no multitouch device while listening
    streamStall,       // the frame stream stalled while the pointer moved
};

template <>
struct EnumTable<ConnectionLogEvent> {
    struct Row {
        ConnectionLogEvent value;
        const char* raw;
    };
    static constexpr Row cases[] = {
        {ConnectionLogEvent::start, "start"},
        {ConnectionLogEvent::stop, "stop"},
        {ConnectionLogEvent::manualReconnect, "manual_reconnect"},
        {ConnectionLogEvent::connected, "connected"},
        {ConnectionLogEvent::connectionFailed, "connection_failed"},
        {ConnectionLogEvent::sleep, "sleep"},
        {ConnectionLogEvent::wake, "wake"},
        {ConnectionLogEvent::deviceChanged, "device_changed"},
        {ConnectionLogEvent::deviceMissing, "device_missing"},
        {ConnectionLogEvent::streamStall, "stream_stall"},
    };
};

// One line of the connection event log.
struct ConnectionLogEntry {
    QDateTime time;
    ConnectionLogEvent event = ConnectionLogEvent::start;
    bool listening = false;
    QString build;

    // One JSON object, keys sorted, no spaces, the time in whole UTC seconds
    // with a "Z"; without the line feed. std::nullopt when the time cannot be
    // written.
    std::optional<QByteArray> encoded() const;

    friend bool operator==(const ConnectionLogEntry&, const ConnectionLogEntry&) = default;
};

}  // namespace glidra
