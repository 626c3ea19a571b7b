#pragma once

#include <QString>

#include <optional>

namespace glidra {

// What the application knows of itself, set when it is built. An absent key
// is not the same as an empty one: the views fall back differently.
struct BundleInfo {
    std::optional<QString> shortVersion;  // "CFBundleShortVersionString", as 1.2
    std::optional<QString> version;       // "CFBundleVersion", the build number
    std::optional<QString> feedURL;       // "SUFeedURL", the update feed
    std::optional<QString> publicEDKey;   // "SUPublicEDKey", base64 of the feed's key
    // The maker's mailbox for problems and suggestions.
    QString supportAddress;
};

}  // namespace glidra
