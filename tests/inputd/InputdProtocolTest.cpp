#include "inputd/InputdProtocol.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace glidra::inputd {
namespace {

struct SocketPair {
    int ends[2] = {-1, -1};
    SocketPair() { EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0); }
    ~SocketPair() {
        for (int fd : ends) ::close(fd);
    }
};

ino_t inodeOf(int fd) {
    struct stat status {};
    ::fstat(fd, &status);
    return status.st_ino;
}

// Several lines in one read: the descriptor belongs to the line it was sent
// with, not to the first line the reader returns.
TEST(InputdProtocol, ADescriptorStaysWithTheLineItCameWith) {
    SocketPair pair;
    const int file = ::open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(file, 0);
    ASSERT_TRUE(sendMessage(pair.ends[0], "added /dev/input/event7"));
    ASSERT_TRUE(sendMessage(pair.ends[0], "ok", {file}));
    ASSERT_TRUE(sendMessage(pair.ends[0], "modifiers 1"));
    MessageReader reader(pair.ends[1]);
    std::vector<Message> lines;
    Message message;
    while (lines.size() < 3 && reader.fill()) {
        while (reader.next(message)) lines.push_back(message);
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "added /dev/input/event7");
    EXPECT_TRUE(lines[0].fds.empty());
    EXPECT_EQ(lines[1].text, "ok");
    ASSERT_EQ(lines[1].fds.size(), 1u);
    EXPECT_EQ(inodeOf(lines[1].fds[0]), inodeOf(file));
    EXPECT_TRUE(lines[2].fds.empty());
    ::close(lines[1].fds[0]);
    ::close(file);
}

TEST(InputdProtocol, APeerThatNeverEndsALineIsLetGo) {
    SocketPair pair;
    const std::string endless(8192, 'x');
    ASSERT_EQ(::send(pair.ends[0], endless.data(), endless.size(), 0), ssize_t(endless.size()));
    MessageReader reader(pair.ends[1]);
    bool open = true;
    for (int i = 0; i < 16 && open; ++i) open = reader.fill();
    EXPECT_FALSE(open);
}

TEST(InputdProtocol, AClosedPeerEndsTheReader) {
    SocketPair pair;
    ASSERT_TRUE(sendMessage(pair.ends[0], "ok"));
    ::close(pair.ends[0]);
    pair.ends[0] = -1;
    MessageReader reader(pair.ends[1]);
    EXPECT_TRUE(reader.fill());
    Message message;
    EXPECT_TRUE(reader.next(message));
    EXPECT_FALSE(reader.fill());
    EXPECT_FALSE(sendMessage(pair.ends[1], "ok"));
}

}  // namespace
}  // namespace glidra::inputd
