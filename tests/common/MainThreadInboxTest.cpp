#include "common/MainThreadInbox.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <string>
#include <thread>
#include <vector>

namespace glidra {
namespace {

// What reached the main thread, in order: frames as "f<context>:<ids>",
// work as "w<n>".
std::vector<std::string> arrivals;
bool allOnMainThread = true;

void noteThread() { allOnMainThread = allOnMainThread && QThread::currentThread() == qApp->thread(); }

void record(const MainThreadInbox::Frame& frame) {
    noteThread();
    std::string line = "f" + std::to_string(frame.context) + ":";
    for (const TouchPoint& p : frame.contacts) line += std::to_string(p.id);
    arrivals.push_back(line);
}

class MainThreadInboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        arrivals.clear();
        allOnMainThread = true;
    }
    MainThreadInbox& inbox = MainThreadInbox::shared();
};

// Frames and work from a device's thread run on the main thread in the order
// they were posted, also when more wait than the queue first holds; a
// frame's contacts are copied as it is posted; work dropped for its owner
// before it ran never runs.
TEST_F(MainThreadInboxTest, FramesAndWorkFromAnotherThreadRunOnTheMainThreadInTheOrderPosted) {
    const int owner = 0;
    const int gone = 0;
    std::thread reader([&] {
        std::vector<TouchPoint> contacts;
        for (std::uint64_t i = 0; i < 20; ++i) {
            contacts.assign({{int(i % 3), 0.5f, 0.5f, 1}, {9, 0.6f, 0.5f, 1}});
            if (i == 19) contacts.clear();
            inbox.postFrame(&record, i, 7, contacts.data(), std::int32_t(contacts.size()), 1.0);
            // The reader's own buffer is reused at once.
            contacts.assign(4, TouchPoint{5, 0, 0, 0});
            if (i % 5 == 0) {
                inbox.post(&owner, [i] {
                    noteThread();
                    arrivals.push_back("w" + std::to_string(i));
                });
                inbox.post(&gone, [] { arrivals.push_back("dropped"); });
            }
        }
    });
    reader.join();
    EXPECT_TRUE(arrivals.empty()) << "ran before the main thread took it";
    inbox.dropWorkOf(&gone);
    QCoreApplication::processEvents();

    std::vector<std::string> expected;
    for (std::uint64_t i = 0; i < 20; ++i) {
        expected.push_back("f" + std::to_string(i) + ":" + (i == 19 ? "" : std::to_string(i % 3) + "9"));
        if (i % 5 == 0) expected.push_back("w" + std::to_string(i));
    }
    EXPECT_EQ(arrivals, expected);
    EXPECT_TRUE(allOnMainThread);
}

// Work that an entry posts waits for the next wake-up, so a busy poster
// cannot keep the main thread in one drain for ever.
TEST_F(MainThreadInboxTest, WorkPostedWhileDrainingRunsAfterTheNextWakeUp) {
    int rounds = 0;
    std::function<void()> again = [&] {
        ++rounds;
        if (rounds < 3) inbox.post(nullptr, again);
    };
    inbox.post(nullptr, again);
    inbox.drain();
    EXPECT_EQ(rounds, 1);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(rounds, 3);
}

}  // namespace
}  // namespace glidra
