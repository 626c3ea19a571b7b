#include "platform/sim/SimEventPoster.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

TEST(SimEventPosterTest, AFailedSourceStaysFailedAndACreatedOneStays) {
    sim::SimEventPoster failing;
    failing.setSourceCreationFails(true);
    EXPECT_FALSE(failing.privateEventSource());
    failing.setSourceCreationFails(false);
    EXPECT_FALSE(failing.privateEventSource());
    EXPECT_FALSE(failing.makeKeyboardEvent(0, true));
    EXPECT_EQ(failing.sourceCreationAttempts(), 1);

    sim::SimEventPoster working;
    EXPECT_TRUE(working.privateEventSource());
    working.setSourceCreationFails(true);
    EXPECT_TRUE(working.privateEventSource());
    EXPECT_EQ(working.sourceCreationAttempts(), 1);
}

TEST(SimEventPosterTest, EventCreationFailsOnDemandAndPostsAreRecordedInOrder) {
    sim::SimEventPoster poster;
    poster.failEventCreation(1, 2);
    EXPECT_TRUE(poster.makeKeyboardEvent(1, true));
    EXPECT_FALSE(poster.makeKeyboardEvent(1, false));
    EXPECT_FALSE(poster.makeKeyboardEvent(1, false));
    const auto event = poster.makeKeyboardEvent(2, false);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->type, InputEvent::Type::keyUp);
    EXPECT_EQ(event->flags, 0u);
    EXPECT_EQ(event->userData, 0);

    poster.setEventCreationFails(true);
    EXPECT_FALSE(poster.makeKeyboardEvent(3, true));

    InputEvent tagged = *event;
    tagged.userData = 42;
    poster.post(*event);
    poster.post(tagged);
    ASSERT_EQ(poster.posted().size(), 2u);
    EXPECT_EQ(poster.posted()[1].userData, 42);
    EXPECT_EQ(poster.posted()[0].keyCode, 2);
}

}  // namespace
}  // namespace glidra
