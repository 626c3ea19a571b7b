#include "inputd/InputdProtocol.h"

#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace glidra::inputd {

namespace {
constexpr std::size_t kMaxLine = 4096;
constexpr std::size_t kMaxFds = 8;
}  // namespace

bool sendMessage(int socket, const std::string& text, const std::vector<int>& fds) {
    std::string line = text + '\n';
    iovec io{line.data(), line.size()};
    msghdr message{};
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * kMaxFds)] = {};
    if (!fds.empty()) {
        if (fds.size() > kMaxFds) return false;
        message.msg_control = control;
        message.msg_controllen = CMSG_SPACE(sizeof(int) * fds.size());
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(sizeof(int) * fds.size());
        std::memcpy(CMSG_DATA(header), fds.data(), sizeof(int) * fds.size());
    }
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t n = ::sendmsg(socket, &message, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        sent += std::size_t(n);
        // The descriptors went with the first bytes.
        message.msg_control = nullptr;
        message.msg_controllen = 0;
        io.iov_base = line.data() + sent;
        io.iov_len = line.size() - sent;
    }
    return true;
}

MessageReader::~MessageReader() {
    for (const auto& [offset, fd] : fds_) ::close(fd);
}

bool MessageReader::fill() {
    char data[1024];
    iovec io{data, sizeof data};
    msghdr message{};
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * kMaxFds)];
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t n;
    do {
        n = ::recvmsg(socket_, &message, MSG_CMSG_CLOEXEC | MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
    if (n == 0) return false;  // a peer sends no descriptors with its end
    buffer_.append(data, std::size_t(n));
    // The kernel ends a read after the message that carries descriptors, so
    // they belong to the line holding the last byte read.
    const std::size_t offset = buffer_.size() - 1;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS) continue;
        const std::size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        const auto* received = reinterpret_cast<const int*>(CMSG_DATA(header));
        for (std::size_t i = 0; i < count; ++i) {
            int fd;
            std::memcpy(&fd, received + i, sizeof fd);
            fds_.emplace_back(offset, fd);
        }
    }
    return buffer_.size() <= kMaxLine || buffer_.find('\n') != std::string::npos;
}

bool MessageReader::next(Message& out) {
    const auto end = buffer_.find('\n');
    if (end == std::string::npos) return false;
    out.text = buffer_.substr(0, end);
    out.fds.clear();
    buffer_.erase(0, end + 1);
    std::vector<std::pair<std::size_t, int>> later;
    for (const auto& [offset, fd] : fds_) {
        if (offset <= end) {
            out.fds.push_back(fd);
        } else {
            later.emplace_back(offset - end - 1, fd);
        }
    }
    fds_ = std::move(later);
    return true;
}

}  // namespace glidra::inputd
