#include "platform/linux/DesktopEntryMatcher.h"

#include <functional>

namespace glidra::linux_platform {

namespace {

using Entry = DesktopEntryMatcher::Entry;

// The one entry that passes the test; nothing when none or several do.
std::optional<Entry> unique(const std::vector<Entry>& entries, const std::function<bool(const Entry&)>& test) {
    std::optional<Entry> found;
    for (const Entry& entry : entries) {
        if (!test(entry)) continue;
        if (found && found->id != entry.id) return std::nullopt;
        found = entry;
    }
    return found;
}

bool namesWindow(const QString& name, const DesktopEntryMatcher::Window& window, Qt::CaseSensitivity sensitivity) {
    if (name.isEmpty()) return false;
    return name.compare(window.className, sensitivity) == 0 || name.compare(window.instance, sensitivity) == 0;
}

QString idWithoutSuffix(const QString& id) {
    return id.endsWith(QLatin1String(".desktop")) ? id.chopped(int(qstrlen(".desktop"))) : id;
}

}  // namespace

std::optional<DesktopEntryMatcher::Entry> DesktopEntryMatcher::match(const Window& window,
                                                                     const std::vector<Entry>& entries) {
    if (window.launchedDesktopFile) {
        if (auto entry = unique(entries, [&](const Entry& e) { return e.filename == *window.launchedDesktopFile; })) {
            return entry;
        }
    }
    if (!window.applicationId.isEmpty()) {
        const QString id = window.applicationId.endsWith(QLatin1String(".desktop"))
                               ? window.applicationId
                               : window.applicationId + QLatin1String(".desktop");
        if (auto entry = unique(entries, [&](const Entry& e) { return e.id == id; })) return entry;
    }
    if (auto entry =
            unique(entries, [&](const Entry& e) { return namesWindow(e.startupWmClass, window, Qt::CaseSensitive); })) {
        return entry;
    }
    return unique(entries,
                  [&](const Entry& e) { return namesWindow(idWithoutSuffix(e.id), window, Qt::CaseInsensitive); });
}

}  // namespace glidra::linux_platform
