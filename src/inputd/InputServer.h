#pragma once

#include "inputd/InputNodes.h"
#include "inputd/InputdProtocol.h"
#include "inputd/KeyboardSummary.h"
#include "inputd/PeerPolicy.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace glidra::inputd {

// The input service: admits the clients the policy allows, hands them
// touchpad descriptors and the virtual device, reads keyboards and pointers
// itself and tells only their summary, and takes everything back when the
// client goes or its session stops being the active one.
class InputServer {
public:
    using NodeLister = std::function<std::vector<InputNode>()>;

    InputServer(int listenSocket, PeerPolicy policy, NodeLister nodes = listInputNodes);
    ~InputServer();
    InputServer(const InputServer&) = delete;
    InputServer& operator=(const InputServer&) = delete;

    // One round: waits up to timeoutMs for work, does it, checks the
    // sessions. Returns false when the listening socket failed.
    bool runOnce(int timeoutMs);
    // Rounds until `stop` (a signal handler's flag) is set, the listening
    // socket fails, or no client has come for `idleExitMs` (negative: never).
    void run(const volatile bool& stop, int idleExitMs = -1);

    std::size_t clientCount() const { return clients_.size(); }

private:
    struct Client;
    struct Device {
        int fd = -1;
        unsigned kinds = 0;
        bool grabbed = false;
        // Asked for, and taken once no key or button of the device is down:
        // grabbed in between, the desktop would never see it rise.
        bool grabWanted = false;
    };

    void accept();
    void serve(Client& client);
    void handle(Client& client, const std::string& request);
    void drop(int socket, const char* why);
    void revoke(Client& client);
    void openWatchedDevices();
    void closeWatchedDevices();
    void readDevice(const std::string& path, Device& device);
    void setGrab(unsigned kinds, bool grab);
    void settleGrab(Device& device);
    void broadcast(const std::string& text, unsigned kinds);

    int listen_;
    PeerPolicy policy_;
    // Tells of a change beside the seat file; -1 when the sessions are
    // looked at every round instead.
    int seatWatch_ = -1;
    NodeLister nodes_;
    std::map<int, std::unique_ptr<Client>> clients_;
    std::map<std::string, Device> watched_;  // keyboards and pointers, by node
    KeyboardSummary keyboards_;
};

}  // namespace glidra::inputd
