#pragma once

#include <sys/types.h>
#include <functional>
#include <optional>
#include <string>

namespace glidra::inputd {

// What the kernel says about the process at the other end of a connection.
struct PeerCredentials {
    pid_t pid = 0;
    uid_t uid = 0;
};

// The facts the decision needs, each from the system in the service and from
// the test in the unit tests.
struct PeerFacts {
    // The user of the active session on seat0, if a session is active there.
    std::function<std::optional<uid_t>()> activeSeatUser;
    // The executable a process runs, as the kernel names it (/proc/<pid>/exe).
    std::function<std::optional<std::string>(pid_t)> executableOf;
    // The file whose change may change the active user (logind's seat file);
    // empty when there is none to watch and the sessions are looked at often.
    std::string seatFile;
};

struct PeerVerdict {
    bool accepted = false;
    std::string reason;  // why, for the log line and the client's error
};

// Admits the installed glidra run by the user of the active local session.
class PeerPolicy {
public:
    PeerPolicy(PeerFacts facts, std::string allowedExecutable);

    PeerVerdict judge(const PeerCredentials& peer) const;
    // Whether a client admitted earlier may keep its devices.
    bool stillActive(uid_t uid) const;
    const std::string& seatFile() const { return facts_.seatFile; }

    // The facts of this machine: logind's seat file, /proc.
    static PeerFacts systemFacts(std::string seatFile = "/run/systemd/seats/seat0");
    // The active user named in logind's seat file, read from its text.
    static std::optional<uid_t> activeUserInSeatFile(const std::string& text);

private:
    PeerFacts facts_;
    std::string allowedExecutable_;
};

}  // namespace glidra::inputd
