#pragma once

#include "platform/linux/LinuxWorkspace.h"

#include <algorithm>
#include <vector>

namespace glidra::test {

// The workspace's desktop entries as a fixed list, in place of the machine's.
inline linux_platform::LinuxWorkspace::DesktopEntries entriesOf(
    std::vector<linux_platform::DesktopEntryMatcher::Entry> entries) {
    using Entry = linux_platform::DesktopEntryMatcher::Entry;
    return {[entries] { return entries; },
            [entries](const QString& desktopFileId) -> std::optional<Entry> {
                const auto found =
                    std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.id == desktopFileId; });
                if (found == entries.end()) return std::nullopt;
                return *found;
            }};
}

}  // namespace glidra::test
