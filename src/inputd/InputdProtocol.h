#pragma once

#include <string>
#include <utility>
#include <vector>

// The input service's wire format: one line of text per message over a Unix
// stream socket, a descriptor riding on the message that hands it over.
//
// Requests (client -> service): "touchpads", "open <node>", "close <node>",
// "uinput",
// "keyboards watch", "keyboards grab", "keyboards release", "pointers watch",
// "pointers swallow", "pointers release".
// Replies and events (service -> client): "ok", "error <why>",
// "touchpad <node>" (one per touchpad, then "ok"), "added <node>",
// "removed <node>", "modifiers <bits>", "press" or "press <name>" (escape, tab, left,
// right, return, enter), "capslock <0|1>",
// "button <code> <0|1>".
namespace glidra::inputd {

inline constexpr const char* kDefaultSocketPath = "/run/glidra-inputd.sock";

struct Message {
    std::string text;
    std::vector<int> fds;  // owned by the receiver
};

// Sends one line, with the descriptors attached (SCM_RIGHTS). False when the
// peer is gone.
bool sendMessage(int socket, const std::string& text, const std::vector<int>& fds = {});

// Reads lines off a stream socket: the bytes since the last newline stay
// buffered, descriptors are kept with the line they came with.
class MessageReader {
public:
    explicit MessageReader(int socket) : socket_(socket) {}
    ~MessageReader();
    MessageReader(const MessageReader&) = delete;
    MessageReader& operator=(const MessageReader&) = delete;

    // Reads what the socket has; false once the peer closed or the line is
    // over-long (a client that never ends a line is not kept).
    bool fill();
    // The next whole line, if any.
    bool next(Message& out);

private:
    int socket_;
    std::string buffer_;
    // Descriptors with the offset in buffer_ of the byte they came with.
    std::vector<std::pair<std::size_t, int>> fds_;
};

}  // namespace glidra::inputd
