#include "trackpad/FrameHop.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QMetaObject>

#include <string>
#include <thread>

namespace glidra {
namespace {

// What reached the main thread, in order: frames as "f<context>:<ids>", and
// the other queued calls as "call".
std::vector<std::string> arrivals;

void record(const FrameHop::Frame& frame) {
    std::string line = "f" + std::to_string(frame.context) + ":";
    for (const TouchPoint& p : frame.contacts) line += std::to_string(p.id);
    arrivals.push_back(line);
}

class FrameHopTest : public ::testing::Test {
protected:
    void SetUp() override { arrivals.clear(); }
    FrameHop hop{&record};

    void post(std::uint64_t context, std::vector<TouchPoint> contacts) {
        hop.post(context, 7, contacts.data(), std::int32_t(contacts.size()), 1.0);
    }
};

TEST_F(FrameHopTest, FramesArriveInOrderWithTheOtherQueuedCalls) {
    // More frames than the queue first holds, with other calls between: a
    // frame must not overtake a call queued before it.
    QCoreApplication* application = QCoreApplication::instance();
    for (std::uint64_t i = 0; i < 20; ++i) {
        post(i, {{int(i % 3), 0.5f, 0.5f, 1}, {9, 0.6f, 0.5f, 1}});
        if (i % 5 == 0) {
            QMetaObject::invokeMethod(
                application, [] { arrivals.push_back("call"); }, Qt::QueuedConnection);
        }
    }
    post(20, {});
    EXPECT_TRUE(arrivals.empty());
    QCoreApplication::sendPostedEvents();

    std::vector<std::string> expected;
    for (std::uint64_t i = 0; i < 20; ++i) {
        expected.push_back("f" + std::to_string(i) + ":" + std::to_string(i % 3) + "9");
        if (i % 5 == 0) expected.push_back("call");
    }
    expected.push_back("f20:");
    EXPECT_EQ(arrivals, expected);
}

TEST_F(FrameHopTest, AFrameFromAnotherThreadIsDeliveredOnTheMainThread) {
    std::thread reader([this] { post(3, {{4, 0.1f, 0.2f, 3}}); });
    reader.join();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(arrivals, (std::vector<std::string>{"f3:4"}));
}

}  // namespace
}  // namespace glidra
