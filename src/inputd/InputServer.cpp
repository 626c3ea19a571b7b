#include "inputd/InputServer.h"

#include "inputd/OwnVirtualDeviceCreation.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <linux/uinput.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace glidra::inputd {

namespace {

void logLine(const std::string& text) { std::fprintf(stderr, "glidra-inputd: %s\n", text.c_str()); }

// Our own copy of what a client holds: the same open file, so that a grab or
// the device itself can be taken back whatever the client does with its copy.
struct Handed {
    int fd = -1;
    libevdev_uinput* uinput = nullptr;
    std::string path;  // the touchpad's node; empty for the virtual device
};

void takeBack(const Handed& handed) {
    if (handed.uinput) {
        // Destroys the device under the client's copy too.
        libevdev_uinput_destroy(handed.uinput);
    } else {
        ::ioctl(handed.fd, EVIOCGRAB, 0);
        ::ioctl(handed.fd, EVIOCREVOKE, 0);
    }
    ::close(handed.fd);
}

// The virtual device on a descriptor of its own, or a negative errno.
int createVirtualDevice(libevdev_uinput*& device) {
    const int fd = ::open("/dev/uinput", O_RDWR | O_CLOEXEC);
    if (fd < 0) return -errno;
    const int rc = createOwnVirtualDevice(fd, &device);
    if (rc < 0) {
        ::close(fd);
        return rc;
    }
    return fd;
}

}  // namespace

struct InputServer::Client {
    int socket = -1;
    PeerCredentials peer;
    MessageReader reader;
    std::vector<Handed> handed;
    unsigned watching = 0;  // InputNode kinds whose summary the client asked for
    unsigned grabbing = 0;  // InputNode kinds the client holds grabbed

    Client(int s, PeerCredentials p) : socket(s), peer(p), reader(s) {}
};

InputServer::InputServer(int listenSocket, PeerPolicy policy, NodeLister nodes)
    : listen_(listenSocket), policy_(std::move(policy)), nodes_(std::move(nodes)) {
    // logind replaces the seat file when the active session changes: waiting
    // for that costs no wake-ups while nothing happens.
    const std::string& seat = policy_.seatFile();
    const auto slash = seat.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        seatWatch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (seatWatch_ >= 0 && ::inotify_add_watch(seatWatch_, seat.substr(0, slash).c_str(),
                                                   IN_MOVED_TO | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE) < 0) {
            logLine("cannot watch " + seat + " (" + std::strerror(errno) + "): looks at it twice a second");
            ::close(seatWatch_);
            seatWatch_ = -1;
        }
    }
}

InputServer::~InputServer() {
    while (!clients_.empty()) drop(clients_.begin()->first, "the service stops");
    closeWatchedDevices();
    if (seatWatch_ >= 0) ::close(seatWatch_);
}

void InputServer::run(const volatile bool& stop, int idleExitMs) {
    using Clock = std::chrono::steady_clock;
    auto idleSince = Clock::now();
    while (!stop) {
        // Without a watch on the seat file, the sessions are looked at this
        // often while a client is there.
        int timeout = seatWatch_ >= 0 ? -1 : 500;
        if (!clients_.empty()) {
            idleSince = Clock::now();
        } else if (idleExitMs >= 0) {
            const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - idleSince);
            if (idle.count() >= idleExitMs) {
                logLine("no client for a while: stops (the socket starts it again)");
                return;
            }
            timeout = int(idleExitMs - idle.count());
        } else {
            timeout = -1;
        }
        const bool served = !clients_.empty();
        if (!runOnce(timeout)) return;
        // The idle time starts when the last client went, not when the
        // round that saw it go began.
        if (served) idleSince = Clock::now();
    }
}

bool InputServer::runOnce(int timeoutMs) {
    std::vector<pollfd> polled;
    polled.push_back({listen_, POLLIN, 0});
    if (seatWatch_ >= 0) polled.push_back({seatWatch_, POLLIN, 0});
    const std::size_t clientBegin = polled.size();
    for (const auto& [socket, client] : clients_) polled.push_back({socket, POLLIN, 0});
    std::vector<std::string> devicePaths;
    for (const auto& [path, device] : watched_) {
        polled.push_back({device.fd, POLLIN, 0});
        devicePaths.push_back(path);
    }
    const int ready = ::poll(polled.data(), polled.size(), timeoutMs);
    bool seatChanged = seatWatch_ < 0;
    if (ready < 0 && errno != EINTR) return false;
    if (ready > 0) {
        if (polled[0].revents & (POLLERR | POLLNVAL)) return false;
        if (polled[0].revents & POLLIN) accept();
        if (seatWatch_ >= 0 && polled[1].revents) {
            char events[4096];
            while (::read(seatWatch_, events, sizeof events) > 0) {
            }
            seatChanged = true;
        }
        const std::size_t clientEnd = polled.size() - devicePaths.size();
        std::vector<int> sockets;
        for (std::size_t index = clientBegin; index < clientEnd; ++index) {
            if (polled[index].revents) sockets.push_back(polled[index].fd);
        }
        for (std::size_t d = 0; d < devicePaths.size(); ++d) {
            const pollfd& entry = polled[polled.size() - devicePaths.size() + d];
            const auto found = watched_.find(devicePaths[d]);
            if (entry.revents && found != watched_.end()) readDevice(found->first, found->second);
        }
        for (int socket : sockets) {
            const auto found = clients_.find(socket);
            if (found != clients_.end()) serve(*found->second);
        }
    }
    // A user switch: the client of a session no longer active loses its
    // devices at once.
    if (!seatChanged) return true;
    std::vector<int> inactive;
    for (const auto& [socket, client] : clients_) {
        if (!policy_.stillActive(client->peer.uid)) inactive.push_back(socket);
    }
    for (int socket : inactive) drop(socket, "its session is no longer the active one");
    return true;
}

void InputServer::accept() {
    const int socket = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (socket < 0) return;
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) {
        logLine("refused a client: its credentials cannot be read");
        ::close(socket);
        return;
    }
    const PeerCredentials peer{credentials.pid, credentials.uid};
    const PeerVerdict verdict = policy_.judge(peer);
    if (!verdict.accepted) {
        logLine("refused a client: " + verdict.reason);
        sendMessage(socket, "error refused: " + verdict.reason);
        ::close(socket);
        return;
    }
    logLine("accepted a client: " + verdict.reason);
    clients_.emplace(socket, std::make_unique<Client>(socket, peer));
}

void InputServer::serve(Client& client) {
    const int socket = client.socket;
    const bool open = client.reader.fill();
    Message message;
    while (clients_.count(socket) && client.reader.next(message)) {
        // A client sends no descriptors; any it sends are not kept.
        for (int fd : message.fds) ::close(fd);
        handle(client, message.text);
    }
    if (!open && clients_.count(socket)) drop(socket, "the client went away");
}

void InputServer::handle(Client& client, const std::string& request) {
    const int socket = client.socket;
    if (request == "touchpads") {
        for (const InputNode& node : nodes_()) {
            if (node.kinds & InputNode::touchpad) sendMessage(socket, "touchpad " + node.path);
        }
        sendMessage(socket, "ok");
        return;
    }
    if (request.rfind("open ", 0) == 0) {
        const std::string path = request.substr(5);
        bool touchpad = false;
        for (const InputNode& node : nodes_()) {
            if (node.path == path && (node.kinds & InputNode::touchpad)) touchpad = true;
        }
        if (!touchpad) {
            sendMessage(socket, "error not a touchpad: " + path);
            return;
        }
        // Read-only: the client reads frames and may grab, never writes.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            sendMessage(socket, "error cannot open " + path + ": " + std::strerror(errno));
            return;
        }
        sendMessage(socket, "ok", {fd});
        client.handed.push_back({fd, nullptr, path});
        return;
    }
    if (request.rfind("close ", 0) == 0) {
        // The client is done with a touchpad (closed, suspended): our copies
        // go too, so that reopening does not pile them up.
        const std::string path = request.substr(6);
        std::erase_if(client.handed, [&path](const Handed& handed) {
            if (handed.uinput || handed.path != path) return false;
            takeBack(handed);
            return true;
        });
        sendMessage(socket, "ok");
        return;
    }
    if (request == "uinput") {
        libevdev_uinput* device = nullptr;
        const int fd = createVirtualDevice(device);
        if (fd < 0) {
            sendMessage(socket, std::string("error cannot create the virtual device: ") + std::strerror(-fd));
            return;
        }
        sendMessage(socket, "ok", {fd});
        client.handed.push_back({fd, device, {}});
        return;
    }
    const std::map<std::string, unsigned> classes = {{"keyboards", InputNode::keyboard},
                                                     {"pointers", InputNode::pointer}};
    const auto space = request.find(' ');
    const auto kind = classes.find(request.substr(0, space));
    if (kind != classes.end() && space != std::string::npos) {
        const std::string verb = request.substr(space + 1);
        if (verb == "watch") {
            client.watching |= kind->second;
            openWatchedDevices();
            sendMessage(socket, "ok");
            if (kind->second == InputNode::keyboard) {
                for (const std::string& line : keyboards_.current()) sendMessage(socket, line);
            }
            return;
        }
        if (verb == "grab" || verb == "swallow") {
            client.grabbing |= kind->second;
            openWatchedDevices();
            setGrab(kind->second, true);
            sendMessage(socket, "ok");
            return;
        }
        if (verb == "release") {
            client.grabbing &= ~kind->second;
            setGrab(kind->second, false);
            sendMessage(socket, "ok");
            return;
        }
    }
    logLine("refused a request: " + request.substr(0, 64));
    sendMessage(socket, "error unknown request");
}

void InputServer::revoke(Client& client) {
    for (const Handed& handed : client.handed) takeBack(handed);
    client.handed.clear();
}

void InputServer::drop(int socket, const char* why) {
    const auto found = clients_.find(socket);
    if (found == clients_.end()) return;
    Client& client = *found->second;
    logLine("took the devices back from process " + std::to_string(client.peer.pid) + ": " + why);
    revoke(client);
    const unsigned grabbing = client.grabbing;
    ::close(socket);
    clients_.erase(found);
    unsigned stillGrabbed = 0;
    for (const auto& [s, other] : clients_) stillGrabbed |= other->grabbing;
    setGrab(grabbing & ~stillGrabbed, false);
    unsigned watching = 0;
    for (const auto& [s, other] : clients_) watching |= other->watching | other->grabbing;
    if (watching == 0) closeWatchedDevices();
}

void InputServer::openWatchedDevices() {
    for (const InputNode& node : nodes_()) {
        const unsigned kinds = node.kinds & (InputNode::keyboard | InputNode::pointer);
        if (kinds == 0 || watched_.count(node.path)) continue;
        const int fd = ::open(node.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            logLine("cannot open " + node.path + ": " + std::strerror(errno));
            continue;
        }
        if (kinds & InputNode::keyboard) {
            unsigned char keys[KEY_MAX / 8 + 1] = {};
            unsigned char leds[8] = {};  // what the kernel and a recorded device both answer
            std::vector<std::uint16_t> held;
            if (::ioctl(fd, EVIOCGKEY(sizeof keys), keys) >= 0) {
                for (unsigned code = 0; code < KEY_MAX; ++code) {
                    if (keys[code / 8] & (1u << (code % 8))) held.push_back(std::uint16_t(code));
                }
            }
            const bool caps = ::ioctl(fd, EVIOCGLED(sizeof leds), leds) >= 0 && (leds[0] & (1u << LED_CAPSL));
            keyboards_.seed(fd, held, caps);
        }
        Device& device = watched_[node.path] = Device{fd, kinds, false, false};
        // One that arrives while a client holds its class is held too.
        for (const auto& [socket, client] : clients_) {
            if (client->grabbing & kinds) device.grabWanted = true;
        }
        settleGrab(device);
    }
}

void InputServer::closeWatchedDevices() {
    for (auto& [path, device] : watched_) {
        if (device.grabbed) ::ioctl(device.fd, EVIOCGRAB, 0);
        keyboards_.forget(device.fd);
        ::close(device.fd);
    }
    watched_.clear();
}

void InputServer::setGrab(unsigned kinds, bool grab) {
    if (kinds == 0) return;
    for (auto& [path, device] : watched_) {
        if (!(device.kinds & kinds)) continue;
        device.grabWanted = grab;
        settleGrab(device);
    }
}

void InputServer::settleGrab(Device& device) {
    if (device.grabWanted == device.grabbed) return;
    if (!device.grabWanted) {
        ::ioctl(device.fd, EVIOCGRAB, 0);
        device.grabbed = false;
        return;
    }
    unsigned char keys[KEY_MAX / 8 + 1] = {};
    if (::ioctl(device.fd, EVIOCGKEY(sizeof keys), keys) >= 0) {
        for (unsigned char byte : keys) {
            if (byte != 0) return;
        }
    }
    device.grabbed = ::ioctl(device.fd, EVIOCGRAB, 1) == 0;
}

void InputServer::broadcast(const std::string& text, unsigned kinds) {
    std::vector<int> gone;
    for (const auto& [socket, client] : clients_) {
        if ((client->watching & kinds) && !sendMessage(socket, text)) gone.push_back(socket);
    }
    for (int socket : gone) drop(socket, "the client went away");
}

void InputServer::readDevice(const std::string& path, Device& device) {
    // A message may drop a client and with the last one every watched device:
    // work on copies and look the device up again after each.
    const int fd = device.fd;
    const unsigned kinds = device.kinds;
    const auto send = [this, &path](const std::vector<std::string>& lines, unsigned to) {
        for (const std::string& line : lines) {
            if (!watched_.count(path)) return false;
            broadcast(line, to);
        }
        return watched_.count(path) != 0;
    };
    input_event events[64];
    for (;;) {
        const ssize_t n = ::read(fd, events, sizeof events);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            const auto found = watched_.find(path);
            if (found != watched_.end()) settleGrab(found->second);
            return;
        }
        if (n <= 0) {
            // Unplugged or revoked: it holds nothing any more.
            const std::vector<std::string> lines = keyboards_.forget(fd);
            ::close(fd);
            watched_.erase(path);
            for (const std::string& line : lines) broadcast(line, InputNode::keyboard);
            return;
        }
        for (std::size_t i = 0; i < std::size_t(n) / sizeof(input_event); ++i) {
            const input_event& event = events[i];
            if ((kinds & InputNode::keyboard) && !send(keyboards_.feed(fd, event), InputNode::keyboard)) return;
            if ((kinds & InputNode::pointer) && event.type == EV_KEY && event.code >= BTN_MOUSE &&
                event.code <= BTN_TASK && event.value != 2) {
                const std::string line = "button " + std::to_string(event.code) + " " + (event.value ? "1" : "0");
                if (!send({line}, InputNode::pointer)) return;
            }
        }
    }
}

}  // namespace glidra::inputd
