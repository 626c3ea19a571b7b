#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace glidra {

// The applications the user activated, most recent first, without
// duplicates.
struct ApplicationHistory {
    static constexpr int kCapacity = 20;

    QStringList applications;

    // Moves (or adds) the identifier to the front; the oldest entries beyond
    // the capacity drop out.
    void record(const QString& bundleIdentifier);

    // The most recent entry that is not the front application and is still
    // running.
    std::optional<QString> previous(const std::optional<QString>& frontBundleIdentifier,
                                    const QSet<QString>& runningBundleIdentifiers) const;

    friend bool operator==(const ApplicationHistory&, const ApplicationHistory&) = default;
};

}  // namespace glidra
