// The search for conflicts over a whole rule list, against comparing every
// pair.

#include "gestures/GestureRuleConflict.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace glidra {
namespace {

using GK = GestureDescriptor::Kind;
using Dir = GestureDescriptor::Direction;
using Rect = NormalizedRegionRect;

constexpr float edge = 0.1f;

// Rules of every kind, finger count, direction, tap count, held keys,
// application and region, drawn at random, some sharing an id: the list
// search finds every conflicting pair, in list order, as comparing each rule
// with each later one does.
TEST(GestureRuleConflictTest, DetectAllFindsWhatComparingEveryPairFinds) {
    // A fixed sequence: the same lists on every run.
    std::uint32_t state = 51;
    const auto pick = [&state](size_t count) {
        state = state * 1664525u + 1013904223u;
        return size_t((state >> 8) % count);
    };
    const auto kinds = enumAllCases<GK>();
    const auto directions = enumAllCases<Dir>();
    const auto regions = enumAllCases<GestureRegion>();
    size_t found = 0;
    for (int round = 0; round < 20; ++round) {
        std::vector<GestureRule> rules;
        for (int i = 0; i < 60; ++i) {
            GestureRule made;
            made.gesture = GestureDescriptor{kinds[pick(kinds.size())], qint64(1 + pick(2)),
                                             directions[pick(directions.size())], qint64(1 + pick(2))};
            if (pick(4) == 0)
                made.appBundleID =
                    pick(2) == 0 ? QStringLiteral("org.gnome.Nautilus.desktop") : QStringLiteral("firefox.desktop");
            if (pick(6) == 0) made.requiredModifiers = 0x100000;
            if (pick(8) == 0) made.isEnabled = false;
            made.region = regions[pick(regions.size())];
            if (made.region == GestureRegion::custom) {
                const float x = 0.1f * float(pick(5));
                const float y = 0.1f * float(pick(5));
                made.customRegion = Rect{x, y, x + 0.5f, y + 0.5f};
            }
            if (!rules.empty() && pick(10) == 0) made.id = rules[pick(rules.size())].id;
            rules.push_back(std::move(made));
        }
        std::vector<GestureRuleConflict> expected;
        for (size_t i = 0; i < rules.size(); ++i) {
            for (size_t j = i + 1; j < rules.size(); ++j) {
                if (auto conflict = GestureRuleConflict::between(rules[i], rules[j], edge))
                    expected.push_back(*conflict);
            }
        }
        found += expected.size();
        EXPECT_TRUE(GestureRuleConflict::detectAll(rules, edge) == expected) << "round " << round;
    }
    EXPECT_GT(found, 100u) << "the lists hold too few conflicts to tell";
}

}  // namespace
}  // namespace glidra
