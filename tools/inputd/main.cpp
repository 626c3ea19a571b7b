// glidra-inputd: hands Glidra its touchpads and virtual device, and tells it
// only a summary of the keyboards and pointers, so that the user's other
// programs need no access to any input node.
//
// Started by systemd on the first connection to its socket (the socket comes
// as descriptor 3). Outside systemd: --socket PATH binds one. The tests'
// build alone also takes --client PATH and --seat-file PATH; the installed
// service admits only the installed glidra at logind's seat.

#include "inputd/InputServer.h"
#include "inputd/PeerPolicy.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

volatile bool stopRequested = false;

void requestStop(int) { stopRequested = true; }

// The socket systemd passes (sd_listen_fds's rule: LISTEN_PID is us,
// LISTEN_FDS counts from descriptor 3).
int inheritedSocket() {
    const char* pid = std::getenv("LISTEN_PID");
    const char* count = std::getenv("LISTEN_FDS");
    if (!pid || !count || std::atol(pid) != long(::getpid()) || std::atoi(count) != 1) return -1;
    ::unsetenv("LISTEN_PID");
    ::unsetenv("LISTEN_FDS");
    ::unsetenv("LISTEN_FDNAMES");
    return 3;
}

int boundSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof address.sun_path) return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    ::unlink(path.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return -1;
    }
    ::chmod(path.c_str(), 0666);
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    std::string socketPath;
    std::string client = GLIDRA_CLIENT;
    std::string seatFile = "/run/systemd/seats/seat0";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--socket") {
            socketPath = argv[i + 1];
#ifdef GLIDRA_INPUTD_TEST_OPTIONS
        } else if (option == "--client") {
            client = argv[i + 1];
        } else if (option == "--seat-file") {
            seatFile = argv[i + 1];
#endif
        } else {
            std::fprintf(stderr, "glidra-inputd: unknown option %s\n", option.c_str());
            return 2;
        }
    }
    if ((argc - 1) % 2 != 0) {
        std::fprintf(stderr, "usage: glidra-inputd [--socket PATH]\n");
        return 2;
    }
    const int listen = socketPath.empty() ? inheritedSocket() : boundSocket(socketPath);
    if (listen < 0) {
        std::fprintf(stderr, "glidra-inputd: no socket: start it through glidra-inputd.socket or give --socket\n");
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = requestStop;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    glidra::inputd::InputServer server(
        listen, glidra::inputd::PeerPolicy(glidra::inputd::PeerPolicy::systemFacts(seatFile), client));
    // Started by its socket, it need not wait for clients that may never come.
    server.run(stopRequested, socketPath.empty() ? 60'000 : -1);
    return 0;
}
