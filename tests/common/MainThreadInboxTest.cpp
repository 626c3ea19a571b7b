#include "common/MainThreadInbox.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QSocketNotifier>
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

// While the first entry runs, the queue's head has moved on: what it posts
// fills the slots behind the head, wraps around to the front, and makes the
// queue grow. Every entry still runs once, in the order posted.
TEST_F(MainThreadInboxTest, AQueueThatGrowsAfterWrappingAroundKeepsEveryEntryOnceInOrder) {
    // More than any earlier test left room for, so the queue must grow.
    constexpr std::uint64_t kPosted = 1000;
    inbox.post(nullptr, [this] {
        arrivals.push_back("w0");
        for (std::uint64_t i = 0; i < kPosted; ++i) {
            const TouchPoint point{int(i % 5), 0.5f, 0.5f, 1};
            inbox.postFrame(&record, i, 7, &point, 1, 1.0);
        }
    });
    for (int i = 1; i <= 4; ++i) inbox.post(nullptr, [i] { arrivals.push_back("w" + std::to_string(i)); });
    inbox.drain();
    QCoreApplication::processEvents();

    std::vector<std::string> expected{"w0", "w1", "w2", "w3", "w4"};
    for (std::uint64_t i = 0; i < kPosted; ++i)
        expected.push_back("f" + std::to_string(i) + ":" + std::to_string(i % 5));
    EXPECT_EQ(arrivals, expected);
}

class SocketActivations final : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::SockAct) ++count;
        return QObject::eventFilter(watched, event);
    }
};

// A wake-up is taken as it is handled: one left standing would wake the main
// thread again at every turn of its loop, with nothing to do.
TEST_F(MainThreadInboxTest, AWakeUpIsTakenSoTheMainThreadSleepsAgain) {
    auto* notifier = inbox.findChild<QSocketNotifier*>();
    if (notifier == nullptr) GTEST_SKIP() << "no eventfd here: the inbox wakes through queued calls";
    SocketActivations activations;
    notifier->installEventFilter(&activations);
    for (int round = 1; round <= 2; ++round) {
        inbox.post(nullptr, [round] { arrivals.push_back("w" + std::to_string(round)); });
        for (int turn = 0; turn < 5; ++turn) QCoreApplication::processEvents();
        EXPECT_EQ(activations.count, round);
    }
    notifier->removeEventFilter(&activations);
    EXPECT_EQ(arrivals, (std::vector<std::string>{"w1", "w2"}));
}

}  // namespace
}  // namespace glidra
