#include "actions/ShortcutKeyOption.h"

#include "actions/HeldModifierState.h"
#include "actions/KeyboardShortcut.h"
#include "platform/EventMarkers.h"
#include "platform/sim/SimEventPoster.h"
#include "platform/sim/SimKeyboardState.h"

#include <gtest/gtest.h>

#include <QSet>

#include <algorithm>

namespace glidra {
namespace {

using namespace modifier_flag;

const ShortcutKeyOption& optionTitled(const QString& title) {
    const auto& all = ShortcutKeyOption::all();
    const auto it = std::find_if(all.begin(), all.end(), [&](const auto& o) { return o.title == title; });
    EXPECT_NE(it, all.end()) << title.toStdString();
    return *it;
}

TEST(ShortcutKeyOptionTest, ListsEveryGroupInOrderWithDistinctKeysAndIds) {
    const auto& all = ShortcutKeyOption::all();
    ASSERT_EQ(all.size(), 17u + 20u + 26u + 10u + 11u + 10u);
    EXPECT_EQ(&ShortcutKeyOption::all(), &all);  // built once

    EXPECT_EQ(all.front(), (ShortcutKeyOption{48, QStringLiteral("Tab"), std::nullopt}));
    EXPECT_EQ(all[37].title, QStringLiteral("A"));
    EXPECT_EQ(all[63].title, QStringLiteral("0"));
    EXPECT_EQ(all[73].title, QStringLiteral("`"));
    EXPECT_EQ(ShortcutKeyOption::specialAndFunctionKeys().size(), 37u);
    EXPECT_EQ(ShortcutKeyOption::specialAndFunctionKeys().back().title, QStringLiteral("F20"));

    // A slip in the key-code tables shows up as two keys sharing a code.
    QSet<std::uint16_t> codes;
    QSet<QString> ids;
    for (const auto& option : all) {
        if (!option.mediaKey) {
            EXPECT_FALSE(codes.contains(option.keyCode)) << option.title.toStdString();
            codes.insert(option.keyCode);
        }
        ids.insert(option.id());
    }
    EXPECT_EQ(ids.size(), qsizetype(all.size()));

    const struct {
        const char* title;
        std::uint16_t keyCode;
    } spots[] = {{"向前删除", 117}, {"小键盘 Enter", 76}, {"F1", 122}, {"Print", 105}, {"F20", 90}, {"B", 11},
                 {"Super", 55},     {"Pause", 113},       {"Q", 12},   {"Z", 6},       {"0", 29},   {"5", 23},
                 {"9", 25},         {"\\", 42},           {"/", 44},   {"`", 50}};
    for (const auto& spot : spots) {
        EXPECT_EQ(optionTitled(QString::fromUtf8(spot.title)).keyCode, spot.keyCode) << spot.title;
    }
}

TEST(ShortcutKeyOptionTest, OnALayoutTheTypingKeysTakeTheTitlesOfWhatTheyType) {
    using Legend = KeyboardLayout::Legend;
    // Some keys of an AZERTY and a QWERTZ keyboard, by their US positions.
    const KeyboardLayout::Legends legends{
        {12, Legend{"a", "A"}},  // AZERTY's A, on the US Q
        {0, Legend{"q", "Q"}},   // and its Q on the US A
        {18, Legend{"&", "1"}},  // the digit row types symbols unshifted
        {19, Legend{"é", "2"}},  //
        {33, Legend{"^", "¨"}},  // a dead key, by its accent
        {27, Legend{"ß", "?"}},  // QWERTZ's ß keeps its one letter
        {41, Legend{"", "M"}},   // only a shifted character
        {48, Legend{"x", "X"}},  // Tab is Tab on any layout
        {96, Legend{"y", "Y"}},  // and F5 is F5
    };
    const auto& us = ShortcutKeyOption::all();
    const auto options = ShortcutKeyOption::onLayout(legends);
    ASSERT_EQ(options.size(), us.size());
    const std::pair<std::uint16_t, const char*> titles[] = {
        {12, "A"}, {0, "Q"},  {18, "&"},   {19, "É"},  {33, "^"},
        {27, "ß"}, {41, "M"}, {48, "Tab"}, {96, "F5"}, {11, "B"},  // a key the legends lack keeps its US title
        {44, "/"},
    };
    for (const auto& [keyCode, title] : titles) {
        const auto found = std::find_if(options.begin(), options.end(),
                                        [&](const auto& o) { return !o.mediaKey && o.keyCode == keyCode; });
        ASSERT_NE(found, options.end()) << keyCode;
        EXPECT_EQ(found->title, QString::fromUtf8(title)) << keyCode;
    }
    // The same keys in the same order: only the titles differ, so the ids and
    // codes a shortcut stores stay what they were.
    for (std::size_t i = 0; i < us.size(); ++i) {
        EXPECT_EQ(options[i].id(), us[i].id());
        EXPECT_EQ(options[i].mediaKey, us[i].mediaKey);
    }
    EXPECT_EQ(ShortcutKeyOption::onLayout({}), us);
}

TEST(ShortcutKeyOptionTest, MediaOptionsHaveKeyCodeZeroAndTheirOwnIds) {
    const auto& all = ShortcutKeyOption::all();
    const std::span media(all.end() - 10, all.end());
    const auto keys = enumAllCases<ShortcutMediaKey>();
    for (std::size_t i = 0; i < media.size(); ++i) {
        EXPECT_EQ(media[i].mediaKey, keys[i]);
        EXPECT_EQ(media[i].keyCode, 0);
        EXPECT_EQ(media[i].title, title(keys[i]));
    }
    EXPECT_EQ(media[0].id(), QStringLiteral("media:volumeUp"));
    EXPECT_EQ(media[9].id(), QStringLiteral("media:keyboardBrightnessDown"));
    EXPECT_EQ(optionTitled(QStringLiteral("A")).id(), QStringLiteral("key:0"));
    EXPECT_EQ(optionTitled(QStringLiteral("Help / Insert")).id(), QStringLiteral("key:114"));
}

TEST(ShortcutKeyOptionTest, HeldModifiersComeFromThePhysicalKeys) {
    struct Case {
        const char* name;
        std::uint64_t combined;
        std::vector<std::uint16_t> held;
        std::uint64_t expected;
    };
    const Case cases[] = {
        {"left shift", 0, {56}, shift},
        {"right keys", 0, {54, 60, 62, 61}, command | shift | control | option},
        {"left keys", 0, {55, 59, 58}, command | control | option},
        {"stale combined bits", shift | command | control | option, {}, 0},
        {"caps lock only", capsLock, {}, capsLock},
        {"fn kept beside held command", function | capsLock, {55}, function | capsLock | command},
        {"other keys ignored", 0, {0, 53, 63}, 0},
    };
    for (const auto& c : cases) {
        sim::SimKeyboardState keyboard;
        keyboard.setCombinedFlags(c.combined);
        for (auto key : c.held) keyboard.press(key);
        EXPECT_EQ(heldModifierState(keyboard), c.expected) << c.name;
    }
}

TEST(ShortcutKeyOptionTest, KeyEventsCarryTheirFlagsAndTheMarker) {
    sim::SimEventPoster poster;
    const auto events = ShortcutKeyOption::postKeyEvents(poster, 17, command, 0);
    ASSERT_TRUE(events.has_value());
    poster.post(events->first);
    poster.post(events->second);

    ASSERT_EQ(poster.posted().size(), 2u);
    const InputEvent& down = poster.posted()[0];
    const InputEvent& up = poster.posted()[1];
    EXPECT_EQ(down.type, InputEvent::Type::keyDown);
    EXPECT_EQ(up.type, InputEvent::Type::keyUp);
    EXPECT_EQ(down.keyCode, 17);
    EXPECT_EQ(up.keyCode, 17);
    EXPECT_EQ(down.flags, command);
    EXPECT_EQ(up.flags, 0u);
    EXPECT_EQ(down.userData, kShortcutEventMarker);
    EXPECT_EQ(up.userData, kShortcutEventMarker);
    EXPECT_EQ(down.origin, EventOrigin::ownProcess);
}

TEST(ShortcutKeyOptionTest, GivesNothingWhenTheSourceOrAnEventCannotBeMade) {
    {
        sim::SimEventPoster poster;
        poster.setSourceCreationFails(true);
        EXPECT_FALSE(ShortcutKeyOption::postKeyEvents(poster, 17, 0, 0));
        poster.setSourceCreationFails(false);  // a failed source is not tried again
        EXPECT_FALSE(ShortcutKeyOption::postKeyEvents(poster, 17, 0, 0));
        EXPECT_EQ(poster.sourceCreationAttempts(), 1);
    }
    {
        sim::SimEventPoster poster;
        poster.setEventCreationFails(true);
        EXPECT_FALSE(ShortcutKeyOption::postKeyEvents(poster, 17, 0, 0));
    }
    {
        sim::SimEventPoster poster;
        poster.failEventCreation(1);  // the key-up fails after the key-down was made
        EXPECT_FALSE(ShortcutKeyOption::postKeyEvents(poster, 17, 0, 0));
        EXPECT_EQ(poster.eventsMade(), 1);
        EXPECT_TRUE(ShortcutKeyOption::postKeyEvents(poster, 17, 0, 0));
    }
}

}  // namespace
}  // namespace glidra
