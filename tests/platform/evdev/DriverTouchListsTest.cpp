#include "platform/evdev/DriverTouchLists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace glidra::evdev {
namespace {

Frame frameWith(std::vector<Frame::Contact> contacts, bool interrupted) {
    Frame frame;
    frame.contacts = std::move(contacts);
    frame.interrupted = interrupted;
    return frame;
}

// One store filled frame after frame, as the reader does, against the lists
// made afresh for each frame.
TEST(DriverTouchListsTest, AKeptStoreGivesEachFrameItsOwnLists) {
    const Frame::Contact touching{7, 0.25f, 0.5f, 40, true};
    const Frame::Contact hovering{8, 0.75f, 0.5f, 5, false};
    const std::vector<Frame> frames = {
        frameWith({touching, hovering}, false),
        frameWith({}, true),
        frameWith({}, false),
        frameWith({touching}, true),
        frameWith({hovering}, false),
        frameWith({touching, hovering}, false),
    };
    DriverTouchLists store;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        const auto lists = store.fill(frames[i]);
        ASSERT_EQ(lists.size(), frames[i].interrupted ? 2u : 1u);
        if (frames[i].interrupted) {
            ASSERT_EQ(lists[0].size(), 1u);
            EXPECT_TRUE(std::isnan(lists[0][0].x)) << "the list that cancels has a contact without a position";
        }
        const auto& touches = lists.back();
        ASSERT_EQ(touches.size(), frames[i].contacts.size());
        for (std::size_t c = 0; c < touches.size(); ++c) {
            const Frame::Contact& contact = frames[i].contacts[c];
            EXPECT_EQ(touches[c].identifier, contact.id);
            EXPECT_EQ(touches[c].state, contact.touching ? 4 : 1);
            EXPECT_EQ(touches[c].x, contact.x);
            EXPECT_EQ(touches[c].pressure, contact.pressure);
        }
        const auto fresh = driverTouchLists(frames[i]);
        ASSERT_EQ(fresh.size(), lists.size());
        EXPECT_EQ(fresh.back().size(), touches.size());
    }
}

}  // namespace
}  // namespace glidra::evdev
