#pragma once

#include <QByteArray>

#include <memory>
#include <mutex>
#include <string>

namespace glidra::inputd {
class MessageReader;
}

namespace glidra::linux_platform {

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

private:
    explicit InputServiceClient(int socket);
    // Sends a request and returns the answer's text ("ok", "error ...") with
    // the descriptor it carried (-1 for none); empty text when the service is
    // gone or silent.
    std::string request(const std::string& line, int* fd = nullptr);
    int descriptorFor(const std::string& line, const char* what);

    mutable std::mutex mutex_;
    int socket_ = -1;  // guarded
    std::unique_ptr<inputd::MessageReader> reader_;
};

}  // namespace glidra::linux_platform
