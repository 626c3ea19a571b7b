#include "inputd/PeerPolicy.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace glidra::inputd {
namespace {

constexpr uid_t kUser = 1000;
constexpr const char* kGlidra = "/usr/bin/glidra";

struct Case {
    const char* what;
    std::optional<uid_t> activeUser;
    uid_t peerUser;
    std::optional<std::string> executable;
    bool accepted;
};

TEST(PeerPolicy, AdmitsOnlyTheInstalledProgramOfTheActiveSeatUser) {
    const Case cases[] = {
        {"the installed glidra of the seat's user", kUser, kUser, kGlidra, true},
        {"no active session on seat0 (greeter, nobody logged in)", std::nullopt, kUser, kGlidra, false},
        {"another user than the seat's (a switched-away session, ssh)", kUser, 1001, kGlidra, false},
        {"root connecting while the seat is the user's", kUser, 0, kGlidra, false},
        {"another program of the seat's user", kUser, kUser, "/usr/bin/python3", false},
        {"a copy of glidra elsewhere", kUser, kUser, "/home/user/glidra", false},
        {"the executable was replaced since it started", kUser, kUser, "/usr/bin/glidra (deleted)", false},
        {"a process whose executable cannot be read", kUser, kUser, std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PeerFacts facts;
        facts.activeSeatUser = [&c] { return c.activeUser; };
        facts.executableOf = [&c](pid_t pid) {
            EXPECT_EQ(pid, 4242);
            return c.executable;
        };
        const PeerPolicy policy(facts, kGlidra);
        const PeerVerdict verdict = policy.judge({4242, c.peerUser});
        EXPECT_EQ(verdict.accepted, c.accepted) << verdict.reason;
        EXPECT_FALSE(verdict.reason.empty());
    }
}

TEST(PeerPolicy, AnAdmittedClientLosesItsPlaceWhenTheSeatSwitchesUser) {
    std::optional<uid_t> active = kUser;
    PeerFacts facts;
    facts.activeSeatUser = [&active] { return active; };
    facts.executableOf = [](pid_t) { return std::optional<std::string>(kGlidra); };
    const PeerPolicy policy(facts, kGlidra);
    EXPECT_TRUE(policy.stillActive(kUser));
    active = 1001;
    EXPECT_FALSE(policy.stillActive(kUser));
    active.reset();
    EXPECT_FALSE(policy.stillActive(kUser));
}

TEST(PeerPolicy, ReadsTheActiveUserFromLogindsSeatFile) {
    const struct {
        const char* text;
        std::optional<uid_t> user;
    } cases[] = {
        {"# This is private data. Do not parse.\nIS_SEAT0=1\nACTIVE=c2\nACTIVE_UID=1000\nSESSIONS=c2 c1\n", 1000},
        {"IS_SEAT0=1\nCAN_GRAPHICAL=1\n", std::nullopt},
        {"ACTIVE_UID=\n", std::nullopt},
        {"ACTIVE_UID=10x0\n", std::nullopt},
        {"XACTIVE_UID=1000\n", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(PeerPolicy::activeUserInSeatFile(c.text), c.user);
    }
}

}  // namespace
}  // namespace glidra::inputd
