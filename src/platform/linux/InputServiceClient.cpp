#include "platform/linux/InputServiceClient.h"

#include "inputd/InputdProtocol.h"
#include "platform/LogCategories.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace glidra::linux_platform {

namespace {

// The service answers from memory or one open(2); more than this and it is
// stuck, and the program must not wait on it at start or in a grab.
constexpr int kAnswerTimeoutMs = 2000;

}  // namespace

const char* InputServiceClient::defaultSocketPath() { return inputd::kDefaultSocketPath; }

namespace {

// A connected socket, or -1 (errno set).
int connectTo(const std::string& socketPath) {
    sockaddr_un address{};
    if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

}  // namespace

std::unique_ptr<InputServiceClient> InputServiceClient::connect(const std::string& socketPath) {
    const int fd = connectTo(socketPath);
    if (fd < 0) {
        // No socket there: the service is not installed; nothing to say.
        if (errno != ENOENT) {
            qCInfo(lcInput).nospace() << "the input service at " << socketPath.c_str()
                                      << " does not answer: " << std::strerror(errno);
        }
        return nullptr;
    }
    std::unique_ptr<InputServiceClient> client(new InputServiceClient(fd, socketPath));
    // The listing proves the service took us: one it refuses says why and
    // hangs up.
    const std::string answer = client->request("touchpads");
    if (answer != "ok") {
        qCWarning(lcInput).nospace() << "the input service at " << socketPath.c_str()
                                     << " did not take us: " << (answer.empty() ? "no answer" : answer.c_str())
                                     << "; the input devices are opened directly";
        return nullptr;
    }
    qCInfo(lcInput).nospace() << "the input devices come through the input service at " << socketPath.c_str();
    return client;
}

InputServiceClient::InputServiceClient(int socket, std::string socketPath)
    : socketPath_(std::move(socketPath)), socket_(socket), reader_(std::make_unique<inputd::MessageReader>(socket)) {}

InputServiceClient::~InputServiceClient() {
    reader_.reset();
    if (socket_ >= 0) ::close(socket_);
}

bool InputServiceClient::connected() const {
    std::lock_guard lock(mutex_);
    return socket_ >= 0;
}

std::string InputServiceClient::request(const std::string& line, int* fd) {
    std::lock_guard lock(mutex_);
    if (fd) *fd = -1;
    if (socket_ < 0) return {};
    const auto giveUp = [this](const char* why) {
        qCWarning(lcInput) << "lost the input service:" << why;
        reader_.reset();
        ::close(socket_);
        socket_ = -1;
        return std::string();
    };
    if (!inputd::sendMessage(socket_, line)) return giveUp("it hung up");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerTimeoutMs);
    inputd::Message message;
    for (;;) {
        while (reader_->next(message)) {
            // Lines before the answer list what the request asked for; only
            // the answer's last word and descriptor matter here.
            if (message.text == "ok" || message.text.rfind("error", 0) == 0) {
                for (std::size_t i = 0; i < message.fds.size(); ++i) {
                    if (fd && i == 0) {
                        *fd = message.fds[0];
                    } else {
                        ::close(message.fds[i]);
                    }
                }
                return message.text;
            }
            for (int extra : message.fds) ::close(extra);
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return giveUp("it did not answer in time");
        pollfd entry{socket_, POLLIN, 0};
        const int ready = ::poll(&entry, 1, int(left.count()));
        if (ready < 0 && errno != EINTR) return giveUp(std::strerror(errno));
        if (ready > 0 && !reader_->fill()) {
            // The refusal comes before the hang-up: read what is left.
            while (reader_->next(message)) {
                for (int extra : message.fds) ::close(extra);
                if (message.text.rfind("error", 0) == 0) {
                    giveUp("it hung up");
                    return message.text;
                }
            }
            return giveUp("it hung up");
        }
    }
}

int InputServiceClient::descriptorFor(const std::string& line, const char* what) {
    int fd = -1;
    const std::string answer = request(line, &fd);
    if (answer == "ok" && fd >= 0) return fd;
    if (fd >= 0) ::close(fd);
    if (answer.empty()) return -EPIPE;
    qCWarning(lcInput).nospace() << "the input service refused " << what << ": " << answer.c_str();
    return -EACCES;
}

int InputServiceClient::openTouchpad(const QByteArray& devnode) {
    return descriptorFor("open " + devnode.toStdString(), devnode.constData());
}

int InputServiceClient::openVirtualDevice() { return descriptorFor("uinput", "the virtual device"); }

void InputServiceClient::closed(const QByteArray& devnode) { request("close " + devnode.toStdString()); }

std::unique_ptr<InputServiceFeed> InputServiceClient::openFeed() const {
    if (!connected()) return nullptr;
    const int fd = connectTo(socketPath_);
    if (fd < 0) {
        qCWarning(lcInput).nospace() << "cannot reach the input service again for the keyboards and pointers: "
                                     << std::strerror(errno);
        return nullptr;
    }
    // A refusal arrives as an error line and a hang-up, which the reader
    // meets like any other loss of the service.
    return std::unique_ptr<InputServiceFeed>(new InputServiceFeed(fd));
}

InputServiceFeed::InputServiceFeed(int socket)
    : socket_(socket), reader_(std::make_unique<inputd::MessageReader>(socket)) {}

InputServiceFeed::~InputServiceFeed() {
    reader_.reset();
    ::close(socket_);
}

bool InputServiceFeed::send(const std::string& line) {
    std::lock_guard lock(sendMutex_);
    return inputd::sendMessage(socket_, line);
}

bool InputServiceFeed::read(std::vector<std::string>& lines) {
    const bool open = reader_->fill();
    inputd::Message message;
    while (reader_->next(message)) {
        // The service hands no descriptor on this connection; none is kept.
        for (int fd : message.fds) ::close(fd);
        lines.push_back(std::move(message.text));
    }
    return open;
}

}  // namespace glidra::linux_platform
