#pragma once

#include <QByteArray>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace glidra::inputd {
class MessageReader;
}

namespace glidra::linux_platform {

class InputServiceFeed;

// The connection to glidra-inputd, the system's input service: it opens the
// touchpads and makes the virtual device for this program alone, so that no
// input node needs to be open to the user's other programs. Requests are
// answered in turn; each waits a bounded time, and a service that stops
// answering is given up, the program then opening the nodes itself.
class InputServiceClient {
public:
    // Where the installed service listens.
    static const char* defaultSocketPath();

    // A client admitted by the service at `socketPath`, or none when there is
    // no service there, it refuses this program, or it does not answer.
    static std::unique_ptr<InputServiceClient> connect(const std::string& socketPath);

    ~InputServiceClient();
    InputServiceClient(const InputServiceClient&) = delete;
    InputServiceClient& operator=(const InputServiceClient&) = delete;

    // A read-only descriptor of the touchpad node, or a negative errno
    // (EACCES when the service refuses it, EPIPE when the service is gone).
    int openTouchpad(const QByteArray& devnode);
    // A descriptor of the virtual device the service made for us, or a
    // negative errno.
    int openVirtualDevice();
    // The node's descriptor will not be used again: the service lets go of
    // its own copy.
    void closed(const QByteArray& devnode);

    bool connected() const;

    // A second connection for the keyboards' and pointers' summaries, which
    // come when they come and are read on the input reader's thread; none
    // when the service does not take it.
    std::unique_ptr<InputServiceFeed> openFeed() const;

private:
    InputServiceClient(int socket, std::string socketPath);
    // Sends a request and returns the answer's text ("ok", "error ...") with
    // the descriptor it carried (-1 for none); empty text when the service is
    // gone or silent.
    std::string request(const std::string& line, int* fd = nullptr);
    int descriptorFor(const std::string& line, const char* what);

    const std::string socketPath_;
    mutable std::mutex mutex_;
    int socket_ = -1;  // guarded
    std::unique_ptr<inputd::MessageReader> reader_;
};

// What the service tells of the keyboards and pointers it reads for us
// ("modifiers 2", "press tab", "button 272 1", ...), and the requests that
// steer it ("keyboards grab", ...), whose answers come in the same stream.
class InputServiceFeed {
public:
    ~InputServiceFeed();
    InputServiceFeed(const InputServiceFeed&) = delete;
    InputServiceFeed& operator=(const InputServiceFeed&) = delete;

    // For the reader's poll.
    int fd() const { return socket_; }
    // Any thread; does not wait for the answer. False once the service is gone.
    bool send(const std::string& line);
    // Appends the whole lines that have come; false once the service hung up.
    // The reader thread's alone.
    bool read(std::vector<std::string>& lines);

private:
    friend class InputServiceClient;
    explicit InputServiceFeed(int socket);

    int socket_ = -1;
    std::mutex sendMutex_;
    std::unique_ptr<inputd::MessageReader> reader_;
};

}  // namespace glidra::linux_platform
