#include "common/MainThreadInbox.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <thread>
#include <vector>

namespace glidra {
namespace {

// Work posted from another thread runs on the main thread, in the order it
// was posted, once the main thread's events are processed; work dropped for
// its owner before that never runs.
TEST(MainThreadInboxTest, WorkFromAnotherThreadRunsOnTheMainThreadInOrderUnlessDroppedForItsOwner) {
    MainThreadInbox& inbox = MainThreadInbox::shared();
    QThread* const mainThread = QThread::currentThread();
    const int owner = 0;
    const int gone = 0;
    std::vector<int> ran;
    bool onMainThread = true;
    std::thread poster([&] {
        for (int i = 0; i < 5; ++i) {
            inbox.post(&owner, [&, i] {
                ran.push_back(i);
                onMainThread = onMainThread && QThread::currentThread() == mainThread;
            });
            inbox.post(&gone, [&] { ran.push_back(-1); });
        }
    });
    poster.join();
    EXPECT_TRUE(ran.empty()) << "ran before the main thread took it";
    inbox.dropWorkOf(&gone);
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(onMainThread);
}

// Work that a piece of work posts waits for the next round, so a busy poster
// cannot keep the main thread in one drain for ever.
TEST(MainThreadInboxTest, WorkPostedWhileDrainingRunsInTheNextRound) {
    MainThreadInbox& inbox = MainThreadInbox::shared();
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
