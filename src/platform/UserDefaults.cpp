#include "platform/UserDefaults.h"

namespace glidra {

std::optional<bool> UserDefaults::boolean(const QString& key) const {
    const auto stored = value(key);
    if (stored && std::holds_alternative<bool>(*stored)) return std::get<bool>(*stored);
    return std::nullopt;
}

std::optional<QString> UserDefaults::string(const QString& key) const {
    const auto stored = value(key);
    if (stored && std::holds_alternative<QString>(*stored)) return std::get<QString>(*stored);
    return std::nullopt;
}

std::optional<QByteArray> UserDefaults::data(const QString& key) const {
    const auto stored = value(key);
    if (stored && std::holds_alternative<QByteArray>(*stored)) return std::get<QByteArray>(*stored);
    return std::nullopt;
}

std::optional<double> UserDefaults::number(const QString& key) const {
    const auto stored = value(key);
    if (!stored) return std::nullopt;
    if (const auto* integer = std::get_if<std::int64_t>(&*stored)) return double(*integer);
    if (const auto* real = std::get_if<double>(&*stored)) return *real;
    return std::nullopt;
}

bool UserDefaults::boolValue(const QString& key) const {
    const auto stored = value(key);
    if (!stored) return false;
    return std::visit(
        [](const auto& v) -> bool {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                return v;
            } else if constexpr (std::is_same_v<T, std::int64_t> || std::is_same_v<T, double>) {
                return v != 0;
            } else if constexpr (std::is_same_v<T, QString>) {
                const QString text = v.trimmed();
                if (text.compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0 ||
                    text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
                    return true;
                }
                bool isInteger = false;
                const qlonglong integer = text.toLongLong(&isInteger);
                return isInteger && integer != 0;
            } else {
                return false;
            }
        },
        *stored);
}

}  // namespace glidra
