#include "trackpad/DeviceTable.h"

#include "gestures/ContinuousGestureTracker.h"
#include "gestures/TabSwipeTracker.h"
#include "gestures/VideoScrubTracker.h"

#include <gtest/gtest.h>

#include <map>

namespace glidra {
namespace {

struct Points {
    std::vector<int> values;
    int tag = 0;
};

TEST(DeviceTableTest, BehavesAsAMapByDevice) {
    DeviceTable<int> table;
    std::map<DeviceId, int> model;
    // Inserts, overwrites and erases in mixed order, checked against std::map.
    const struct {
        char op;
        DeviceId device;
        int value;
    } steps[] = {{'s', 7, 1}, {'s', 3, 2}, {'s', 9, 3}, {'s', 3, 4}, {'e', 7, 0},
                 {'i', 5, 0}, {'e', 1, 0}, {'s', 1, 6}, {'c', 0, 0}, {'s', 2, 8}};
    for (const auto& step : steps) {
        switch (step.op) {
            case 's':
                table.insert_or_assign(step.device, step.value);
                model.insert_or_assign(step.device, step.value);
                break;
            case 'i':
                EXPECT_EQ(table[step.device], model[step.device]);
                break;
            case 'e':
                table.erase(step.device);
                model.erase(step.device);
                break;
            case 'c':
                table.clear();
                model.clear();
                break;
        }
        ASSERT_EQ(table.size(), model.size());
        auto expected = model.begin();
        for (const auto& [device, value] : table) {
            EXPECT_EQ(device, expected->first);
            EXPECT_EQ(value, expected->second);
            EXPECT_TRUE(table.contains(device));
            ++expected;
        }
    }
    EXPECT_FALSE(table.contains(7));
    EXPECT_EQ(table.find(7), table.end());
}

TEST(DeviceTableTest, ANewEntryIsFreshButReusesTheStorageOfAnErasedOne) {
    DeviceTable<Points> table;
    table[4].values.assign(100, 1);
    table[4].tag = 9;
    const int* storage = table[4].values.data();
    table.erase(4);

    // Another device, as default-constructed, in the same storage.
    Points& reused = table[6];
    EXPECT_TRUE(reused.values.empty());
    EXPECT_EQ(reused.tag, 0);
    EXPECT_GE(reused.values.capacity(), 100u);
    reused.values.assign(50, 2);
    EXPECT_EQ(reused.values.data(), storage);

    // A cleared table keeps the storage too, and an assigned value is copied in.
    table.clear();
    table.insert_or_assign(8, Points{{3, 4}, 5});
    EXPECT_EQ(table.at(8).values, (std::vector<int>{3, 4}));
    EXPECT_EQ(table.at(8).tag, 5);
    EXPECT_EQ(table.at(8).values.data(), storage);
}

TEST(DeviceSetTest, KeepsEachDeviceOnceInOrder) {
    DeviceSet set;
    EXPECT_TRUE(set.insert(5));
    EXPECT_TRUE(set.insert(2));
    EXPECT_FALSE(set.insert(5));
    EXPECT_TRUE(set.insert(9));
    set.erase(2);
    set.erase(4);
    EXPECT_EQ(std::vector<DeviceId>(set.begin(), set.end()), (std::vector<DeviceId>{5, 9}));
    EXPECT_TRUE(set.contains(9));
    EXPECT_FALSE(set.contains(2));
    set.clear();
    EXPECT_TRUE(set.empty());
}

// A lift resets each tracker for the next touch; the point lists must keep
// their storage, or every touch allocates them anew.
TEST(TrackerResetTest, ALiftKeepsThePointStorage) {
    const std::vector<TouchPoint> three = {{1, 0.3f, 0.3f, 50}, {2, 0.4f, 0.3f, 50}, {3, 0.5f, 0.3f, 50}};
    const TouchSurface surface;

    TabSwipeTracker tab;
    ASSERT_FALSE(tab.update(three, GestureRecognitionLevel::standard, 1.0, surface));
    const auto* tabStorage = tab.origin.data();
    tab.update({}, GestureRecognitionLevel::standard, 1.1, surface);
    EXPECT_TRUE(tab.origin.empty());
    EXPECT_GE(tab.origin.capacity(), 3u);
    tab.update(three, GestureRecognitionLevel::standard, 2.0, surface);
    EXPECT_EQ(tab.origin.data(), tabStorage);

    ContinuousGestureTracker continuous;
    continuous.update(three, 0.05f, surface);
    const auto* continuousStorage = continuous.origin.data();
    continuous.update({}, 0.05f, surface);
    EXPECT_TRUE(continuous.origin.empty());
    continuous.update(three, 0.05f, surface);
    EXPECT_EQ(continuous.origin.data(), continuousStorage);

    VideoScrubTracker video;
    video.update(three, surface);
    const auto* videoStorage = video.origin.data();
    video.update({}, surface);
    EXPECT_TRUE(video.origin.empty());
    video.update(three, surface);
    EXPECT_EQ(video.origin.data(), videoStorage);
}

}  // namespace
}  // namespace glidra
