#include "platform/linux/LogindDisplayBrightness.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>

namespace glidra::linux_platform {

LogindDisplayBrightness::LogindDisplayBrightness(QString backlightRoot, QDBusConnection bus, int timeoutMs)
    : root_(std::move(backlightRoot)), bus_(std::move(bus)), timeoutMs_(timeoutMs) {
    if (!bus_.isConnected()) return;
    // Only a session that logind knows may set the backlight; asked once,
    // without waiting, long before the first step needs the answer.
    QDBusMessage ask = sessionCall(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    ask << QStringLiteral("org.freedesktop.login1.Session") << QStringLiteral("Id");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(ask, timeoutMs_), &lifetime_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &lifetime_, [this, watcher] {
        watcher->deleteLater();
        sessionKnown_ = !watcher->isError();
    });
}

std::int64_t LogindDisplayBrightness::rawValue(float level, std::int64_t maximum) {
    if (maximum <= 0 || std::isnan(level)) return 0;
    const double clamped = std::clamp(double(level), 0.0, 1.0);
    return std::clamp<std::int64_t>(std::llround(clamped * double(maximum)), 0, maximum);
}

float LogindDisplayBrightness::levelOf(std::int64_t raw, std::int64_t maximum, std::optional<float> remembered) {
    if (maximum <= 0) return 0.0f;
    if (remembered && rawValue(*remembered, maximum) == raw) return *remembered;
    return float(std::clamp(double(raw) / double(maximum), 0.0, 1.0));
}

std::optional<std::int64_t> LogindDisplayBrightness::readNumber(const QString& file) const {
    QFile in(root_ + QLatin1Char('/') + name_ + QLatin1Char('/') + file);
    if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
    bool ok = false;
    const std::int64_t value = in.readAll().trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return value;
}

QString LogindDisplayBrightness::choose() const {
    const QDir root(root_);
    QString best;
    int bestRank = 0;
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        QFile type(root.filePath(name + QStringLiteral("/type")));
        QByteArray kind;
        if (type.open(QIODevice::ReadOnly)) kind = type.readAll().trimmed();
        const int rank = kind == "firmware" ? 3 : kind == "platform" ? 2 : 1;
        if (rank > bestRank) {
            best = name;
            bestRank = rank;
        }
    }
    return best;
}

QDBusMessage LogindDisplayBrightness::sessionCall(const QString& interface, const QString& method) const {
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"), QLatin1String(kSessionPath),
                                          interface, method);
}

bool LogindDisplayBrightness::load() {
    name_ = choose();
    return !name_.isEmpty() && sessionKnown_;
}

std::optional<std::vector<DisplayId>> LogindDisplayBrightness::onlineDisplays(int maximum) {
    if (name_.isEmpty() || maximum < 1) return std::vector<DisplayId>{};
    return std::vector<DisplayId>{kBuiltInDisplay};
}

std::optional<float> LogindDisplayBrightness::brightness(DisplayId display) {
    if (display != kBuiltInDisplay || name_.isEmpty()) return std::nullopt;
    const auto raw = readNumber(QStringLiteral("brightness"));
    const auto maximum = readNumber(QStringLiteral("max_brightness"));
    if (!raw || !maximum || *maximum <= 0) return std::nullopt;
    return levelOf(*raw, *maximum, remembered_);
}

bool LogindDisplayBrightness::setBrightness(DisplayId display, float level) {
    if (display != kBuiltInDisplay || name_.isEmpty() || !bus_.isConnected()) return false;
    const auto maximum = readNumber(QStringLiteral("max_brightness"));
    if (!maximum || *maximum <= 0) return false;
    QDBusMessage call = sessionCall(QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("SetBrightness"));
    call << QStringLiteral("backlight") << name_ << quint32(rawValue(level, *maximum));
    const float requested = std::isnan(level) ? 0.0f : std::clamp(level, 0.0f, 1.0f);
    remembered_ = requested;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, timeoutMs_), &lifetime_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &lifetime_, [this, watcher, requested] {
        watcher->deleteLater();
        // Refused: what the hardware shows is the truth again.
        if (watcher->isError() && remembered_ == requested) remembered_.reset();
    });
    return true;
}

}  // namespace glidra::linux_platform
