#pragma once

#include "gestures/GestureDescriptor.h"
#include "gestures/GestureRegion.h"
#include "gestures/GestureRule.h"
#include "gestures/GestureSessionContext.h"
#include "gestures/NormalizedRegionRect.h"
#include "gestures/TouchPoint.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace glidra {

// The enabled rules of a rule list, filed by what a gesture must match
// exactly (kind, fingers, direction or tap count, held modifiers,
// application), so that a lookup reads only the few rules that can take the
// gesture, however long the list. It refers to the list, which must outlive
// it unchanged: build a new index whenever the list changes.
class GestureRuleIndex {
public:
    GestureRuleIndex() = default;
    explicit GestureRuleIndex(std::span<const GestureRule> rules);

    // Whether this index was built over exactly that storage.
    bool covers(std::span<const GestureRule> rules) const {
        return rules.data() == rules_.data() && rules.size() == rules_.size();
    }

    // The winner GestureRule::bestMatch gives over the whole list: the most
    // specific rule that takes the gesture, the earlier one on a tie.
    const GestureRule* bestMatch(const GestureDescriptor& gesture, const GestureSessionContext& context) const;
    // The same with the start centroid already at hand.
    const GestureRule* bestMatch(const GestureDescriptor& gesture, const GestureSessionContext& context,
                                 const std::optional<TouchPoint>& startCentroid) const;

    // Calls `visit(rule)` for every rule of `gesture`'s kind, fingers and
    // direction or tap count that needs exactly the context's modifiers, is
    // limited to no application or the context's, and whose region holds
    // `startCentroid`, in stored order for each group (the application's
    // rules first, then those of every application), until it returns true.
    template <typename Visit>
    bool anyCandidate(const GestureDescriptor& gesture, const GestureSessionContext& context,
                      const std::optional<TouchPoint>& startCentroid, Visit visit) const {
        for (const std::vector<Entry>* group : groups(gesture, context)) {
            if (group == nullptr) continue;
            for (const Entry& entry : *group) {
                if (entry.holds(startCentroid, context.regionWidth) && visit(rules_[entry.index])) return true;
            }
        }
        return false;
    }

    // GestureRule::tapDeferralInterval over the list, from the rules of taps
    // and tap-swipes of that finger count alone.
    double tapDeferralInterval(qint64 fingers, qint64 tapCount, const GestureSessionContext& context) const;

    // The enabled rules of one kind and finger count, in stored order.
    template <typename Visit>
    void forEachOfKind(GestureDescriptor::Kind kind, qint64 fingers, Visit visit) const {
        const auto it = byKind_.find(kindKey(kind, fingers));
        if (it == byKind_.end()) return;
        for (const std::uint32_t index : it->second) visit(rules_[index]);
    }

private:
    struct Entry {
        std::uint32_t index = 0;
        GestureRegion region = GestureRegion::anywhere;
        // For a custom region: the common rectangle, when it is a valid one.
        std::optional<NormalizedRegionRect> area;

        bool holds(const std::optional<TouchPoint>& point, float edgeWidth) const;
    };

    struct Key {
        GestureDescriptor::Kind kind = GestureDescriptor::Kind::swipe;
        qint64 fingers = 0;
        // The direction of a directional kind, the tap count of a tap.
        qint64 detail = 0;
        std::uint64_t modifiers = 0;
        // Empty for the rules of every application.
        QString app;

        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };

    static qint64 detailOf(const GestureDescriptor& gesture);
    static std::uint64_t kindKey(GestureDescriptor::Kind kind, qint64 fingers);
    // The application's group (none when the context has no application)
    // and then the group of every application.
    std::array<const std::vector<Entry>*, 2> groups(const GestureDescriptor& gesture,
                                                    const GestureSessionContext& context) const;

    std::span<const GestureRule> rules_;
    std::unordered_map<Key, std::vector<Entry>, KeyHash> groups_;
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> byKind_;
};

}  // namespace glidra
