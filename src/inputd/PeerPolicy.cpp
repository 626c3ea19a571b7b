#include "inputd/PeerPolicy.h"

#include <unistd.h>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <sstream>

namespace glidra::inputd {

PeerPolicy::PeerPolicy(PeerFacts facts, std::string allowedExecutable)
    : facts_(std::move(facts)), allowedExecutable_(std::move(allowedExecutable)) {}

PeerVerdict PeerPolicy::judge(const PeerCredentials& peer) const {
    const std::optional<uid_t> active = facts_.activeSeatUser();
    if (!active) return {false, "no session is active on seat0"};
    if (*active != peer.uid) {
        return {false, "user " + std::to_string(peer.uid) + " is not the user of the active session on seat0"};
    }
    const std::optional<std::string> executable = facts_.executableOf(peer.pid);
    if (!executable) return {false, "the executable of process " + std::to_string(peer.pid) + " cannot be read"};
    if (*executable != allowedExecutable_) {
        return {false, "process " + std::to_string(peer.pid) + " runs " + *executable + ", not " + allowedExecutable_};
    }
    return {true, "process " + std::to_string(peer.pid) + " of user " + std::to_string(peer.uid) + " runs " +
                      allowedExecutable_};
}

bool PeerPolicy::stillActive(uid_t uid) const {
    const std::optional<uid_t> active = facts_.activeSeatUser();
    return active && *active == uid;
}

std::optional<uid_t> PeerPolicy::activeUserInSeatFile(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    const std::string key = "ACTIVE_UID=";
    while (std::getline(lines, line)) {
        if (line.rfind(key, 0) != 0) continue;
        const char* begin = line.data() + key.size();
        const char* end = line.data() + line.size();
        unsigned long value = 0;
        const auto [rest, error] = std::from_chars(begin, end, value);
        if (error != std::errc() || rest != end || begin == end) return std::nullopt;
        return uid_t(value);
    }
    return std::nullopt;
}

PeerFacts PeerPolicy::systemFacts(std::string seatFile) {
    PeerFacts facts;
    facts.seatFile = seatFile;
    facts.activeSeatUser = [seatFile]() -> std::optional<uid_t> {
        std::ifstream file(seatFile);
        if (!file) return std::nullopt;
        std::stringstream text;
        text << file.rdbuf();
        return activeUserInSeatFile(text.str());
    };
    facts.executableOf = [](pid_t pid) -> std::optional<std::string> {
        const std::string link = "/proc/" + std::to_string(pid) + "/exe";
        char target[4096];
        const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
        if (n <= 0 || std::size_t(n) >= sizeof target) return std::nullopt;
        return std::string(target, std::size_t(n));
    };
    return facts;
}

}  // namespace glidra::inputd
