#include "platform/linux/JsonFileUserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

#include <cmath>

namespace glidra::linux_platform {

namespace {

constexpr qint64 kMaximumDocumentSize = 64 * 1024 * 1024;

std::optional<DefaultsValue> decodeEntry(const QJsonValue& entry) {
    if (!entry.isObject()) return std::nullopt;
    const QJsonObject object = entry.toObject();
    if (object.size() != 1) return std::nullopt;
    const QString kind = object.constBegin().key();
    const QJsonValue v = object.constBegin().value();
    if (kind == QLatin1String("bool") && v.isBool()) return DefaultsValue(v.toBool());
    if (kind == QLatin1String("integer") && v.isDouble()) {
        const double d = v.toDouble();
        if (std::trunc(d) == d && std::fabs(d) < 9.2e18) return DefaultsValue(std::int64_t(v.toInteger()));
        return std::nullopt;
    }
    // Non-finite doubles have no JSON form; they are written as strings.
    if (kind == QLatin1String("double")) {
        if (v.isDouble()) return DefaultsValue(v.toDouble());
        if (v.isString()) {
            const QString text = v.toString();
            if (text == QLatin1String("nan")) return DefaultsValue(std::nan(""));
            if (text == QLatin1String("inf")) return DefaultsValue(HUGE_VAL);
            if (text == QLatin1String("-inf")) return DefaultsValue(-HUGE_VAL);
        }
        return std::nullopt;
    }
    if (kind == QLatin1String("string") && v.isString()) return DefaultsValue(v.toString());
    if (kind == QLatin1String("data") && v.isString()) {
        auto decoded = QByteArray::fromBase64Encoding(v.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (decoded) return DefaultsValue(*decoded);
    }
    return std::nullopt;
}

QJsonValue encodeEntry(const DefaultsValue& value) {
    return std::visit(
        [](const auto& v) -> QJsonValue {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                return QJsonObject{{QStringLiteral("bool"), v}};
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return QJsonObject{{QStringLiteral("integer"), qint64(v)}};
            } else if constexpr (std::is_same_v<T, double>) {
                if (std::isnan(v)) return QJsonObject{{QStringLiteral("double"), QStringLiteral("nan")}};
                if (std::isinf(v)) {
                    return QJsonObject{
                        {QStringLiteral("double"), v > 0 ? QStringLiteral("inf") : QStringLiteral("-inf")}};
                }
                return QJsonObject{{QStringLiteral("double"), v}};
            } else if constexpr (std::is_same_v<T, QString>) {
                return QJsonObject{{QStringLiteral("string"), v}};
            } else {
                return QJsonObject{{QStringLiteral("data"), QString::fromLatin1(v.toBase64())}};
            }
        },
        value);
}

}  // namespace

JsonFileUserDefaults::JsonFileUserDefaults(QString path) : path_(std::move(path)) { load(); }

QString JsonFileUserDefaults::standardPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Glidra/settings.json");
}

void JsonFileUserDefaults::load() {
    QFile file(path_);
    if (!file.exists()) return;
    bool readable = file.open(QIODevice::ReadOnly) && file.size() <= kMaximumDocumentSize;
    QJsonDocument document;
    if (readable) {
        QJsonParseError error{};
        document = QJsonDocument::fromJson(file.read(kMaximumDocumentSize + 1), &error);
        readable = error.error == QJsonParseError::NoError && document.isObject();
    }
    file.close();
    if (!readable) {
        // Keep the user's file for inspection; the defaults load instead.
        const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString aside = path_ + QStringLiteral(".unreadable-") + stamp;
        for (int n = 2; QFileInfo::exists(aside); ++n) {
            aside = path_ + QStringLiteral(".unreadable-") + stamp + QLatin1Char('-') + QString::number(n);
        }
        if (QFile::rename(path_, aside)) setAsidePath_ = aside;
        return;
    }
    const QJsonObject object = document.object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (auto value = decodeEntry(it.value())) {
            values_.insert(it.key(), *value);
        } else {
            ++unreadableEntries_;
        }
    }
}

bool JsonFileUserDefaults::save() {
    QJsonObject object;
    // Entries this version cannot read stay in the file untouched.
    if (unreadableEntries_ > 0) {
        QFile file(path_);
        if (file.open(QIODevice::ReadOnly)) {
            const QJsonObject previous = QJsonDocument::fromJson(file.read(kMaximumDocumentSize + 1)).object();
            for (auto it = previous.constBegin(); it != previous.constEnd(); ++it) {
                if (!decodeEntry(it.value())) object.insert(it.key(), it.value());
            }
        }
    }
    for (auto it = values_.constBegin(); it != values_.constEnd(); ++it)
        object.insert(it.key(), encodeEntry(it.value()));

    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(object).toJson(QJsonDocument::Indented));
        if (file.commit()) {
            failure_.clear();
            return true;
        }
    }
    failure_ = file.errorString();
    return false;
}

std::optional<DefaultsValue> JsonFileUserDefaults::value(const QString& key) const {
    const auto it = values_.constFind(key);
    if (it == values_.constEnd()) return std::nullopt;
    return *it;
}

bool JsonFileUserDefaults::setValue(const QString& key, const DefaultsValue& value) {
    values_.insert(key, value);
    return save();
}

bool JsonFileUserDefaults::removeValue(const QString& key) {
    if (!values_.remove(key)) return true;
    return save();
}

}  // namespace glidra::linux_platform
