#include "platform/linux/JsonFileUserDefaults.h"

#include "platform/LogCategories.h"
#include "platform/PrivateFiles.h"
#include "platform/StorageCondition.h"
#include "platform/linux/AtomicFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QLockFile>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <utility>

namespace glidra::linux_platform {

namespace {

QString text(const char* sourceText) { return QCoreApplication::translate("Glidra", sourceText); }

QString unreadableText(const QString& path, const QString& reason) {
    return text("无法读取设置文件 %1：%2").arg(path, reason);
}

QString fullDiskText(const QString& folder) { return text("设置文件夹 %1 所在的磁盘已满。").arg(folder); }

// A read-only or full disk in words of its own; nothing when the folder's
// file system reports neither.
std::optional<QString> storageProblem(const QString& folder) {
    switch (storageCondition(folder)) {
        case StorageCondition::readOnly:
            return text("设置文件夹 %1 所在的磁盘是只读的。").arg(folder);
        case StorageCondition::full:
            return fullDiskText(folder);
        case StorageCondition::usable:
            break;
    }
    return std::nullopt;
}

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

// The same entries give the same text, whatever their order in the file.
QString fingerprintOf(const QJsonObject& entries) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (auto it = entries.constBegin(); it != entries.constEnd(); ++it) {
        hash.addData(it.key().toUtf8());
        hash.addData(QByteArrayView("\0", 1));
        hash.addData(QJsonDocument(QJsonObject{{QStringLiteral("v"), it.value()}}).toJson(QJsonDocument::Compact));
        hash.addData(QByteArrayView("\0", 1));
    }
    return QString::fromLatin1(hash.result().toHex());
}

}  // namespace

JsonFileUserDefaults::JsonFileUserDefaults(QString path, std::chrono::milliseconds lockTimeout,
                                           qint64 maximumDocumentSize)
    : path_(std::move(path)), lockTimeout_(lockTimeout), maximumDocumentSize_(maximumDocumentSize) {
    tidyAtStart();
    load();
}

QString JsonFileUserDefaults::standardPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Glidra/settings.json");
}

JsonFileUserDefaults::Document JsonFileUserDefaults::read() const {
    QFile file(path_);
    if (!file.exists()) return {Reading::absent, {}, {}};
    if (!file.open(QIODevice::ReadOnly)) return {Reading::failed, {}, unreadableText(path_, file.errorString())};
    // QIODevice::read(n) allocates all n bytes first; the file is read as
    // long as it is, one past the limit at most.
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min(file.size(), maximumDocumentSize_) + 1));
    char chunk[16 * 1024];
    while (bytes.size() <= maximumDocumentSize_) {
        const qint64 n =
            file.read(chunk, std::min<qint64>(qint64(sizeof chunk), maximumDocumentSize_ + 1 - bytes.size()));
        if (n <= 0) break;
        bytes.append(chunk, qsizetype(n));
    }
    if (file.error() != QFileDevice::NoError) return {Reading::failed, {}, unreadableText(path_, file.errorString())};
    if (bytes.size() > maximumDocumentSize_) return {Reading::undecodable, {}, {}};
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return {Reading::undecodable, {}, {}};
    return {Reading::read, document.object(), {}};
}

void JsonFileUserDefaults::load() {
    const Document document = read();
    switch (document.reading) {
        case Reading::absent:
            return;
        case Reading::failed:
            // Perhaps only its permissions are wrong: the user's settings
            // stay as they are, and nothing is written over them.
            readFailure_ = failure_ = document.failure;
            qCWarning(lcSettings).noquote() << failure_ << "- the settings are not saved until it can be read";
            return;
        case Reading::undecodable:
            // Kept for inspection; the defaults load instead.
            if (setAside()) {
                unreadableNotice_ = text("设置文件已损坏，已原样保留为 %1，现使用默认设置。").arg(setAsidePath_);
            } else {
                readFailure_ = failure_;
            }
            return;
        case Reading::read:
            break;
    }
    QJsonObject unreadable;
    for (auto it = document.object.constBegin(); it != document.object.constEnd(); ++it) {
        if (auto value = decodeEntry(it.value())) {
            values_.insert(it.key(), *value);
        } else {
            unreadable.insert(it.key(), it.value());
        }
    }
    unreadableEntries_ = int(unreadable.size());
    if (unreadableEntries_ == 0) return;
    const QString fingerprint = fingerprintOf(unreadable);
    const auto told = values_.constFind(QLatin1String(kToldUnreadableKey));
    if (told != values_.constEnd() && *told == DefaultsValue(fingerprint)) return;
    untoldFingerprint_ = fingerprint;
    unreadableNotice_ = text("设置文件 %1 中有 %2 项设置无法识别，已保留在文件中，这些设置现使用默认值。")
                            .arg(path_, QString::number(unreadableEntries_));
}

void JsonFileUserDefaults::unreadableNoticeShown() {
    if (untoldFingerprint_.isEmpty()) return;
    // Saved now or, when that fails, with the next write that works.
    setValue(QLatin1String(kToldUnreadableKey), std::exchange(untoldFingerprint_, QString()));
}

void JsonFileUserDefaults::tidyAtStart() {
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QFileInfo(folder).isDir()) return;
    for (const QString& failure : tightenPrivateFile(path_)) {
        qCWarning(lcSettings).noquote() << "cannot keep the settings for the user alone:" << failure;
    }
    // No save is under way while the lock is ours; one that a kill cut short
    // left its copy behind.
    QLockFile lock(path_ + QStringLiteral(".lock"));
    if (!lock.tryLock(0)) return;
    for (const QString& failure : removeInterruptedSaves(path_)) {
        qCWarning(lcSettings).noquote() << "cannot remove what an interrupted save left:" << failure;
    }
}

bool JsonFileUserDefaults::setAside() {
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path_ + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n) {
        aside = path_ + QStringLiteral(".unreadable-") + stamp + QLatin1Char('-') + QString::number(n);
    }
    QFile file(path_);
    if (file.rename(aside)) {
        setAsidePath_ = aside;
        qCWarning(lcSettings).noquote() << "the settings file" << path_ << "is not a settings document; kept as"
                                        << aside << "- the defaults take its place";
        return true;
    }
    failure_ = text("无法将损坏的设置文件 %1 移到一旁：%2").arg(path_, file.errorString());
    qCWarning(lcSettings).noquote() << failure_;
    return false;
}

bool JsonFileUserDefaults::fail(QString reason) {
    // Every change tries again; the same failure is told once.
    if (reason != failure_) qCWarning(lcSettings).noquote() << "cannot save the settings to" << path_ << "-" << reason;
    failure_ = std::move(reason);
    return false;
}

bool JsonFileUserDefaults::save() {
    if (!readFailure_.isEmpty()) return fail(readFailure_);
    const QString folder = QFileInfo(path_).absolutePath();
    if (!makePrivateFolder(folder)) {
        return fail(storageProblem(folder).value_or(text("无法创建文件夹：%1").arg(folder)));
    }

    QLockFile lock(path_ + QStringLiteral(".lock"));
    if (!lock.tryLock(int(lockTimeout_.count()))) {
        switch (lock.error()) {
            case QLockFile::LockFailedError:
                return fail(text("设置文件正被另一个 Glidra 进程写入。"));
            case QLockFile::PermissionError:
                return fail(storageProblem(folder).value_or(text("没有写入设置文件夹 %1 的权限。").arg(folder)));
            case QLockFile::NoError:
            case QLockFile::UnknownError:
                break;
        }
        return fail(storageProblem(folder).value_or(text("无法锁定设置文件 %1。").arg(path_)));
    }
    // Another process may have changed other keys since: only ours go in.
    Document document = read();
    switch (document.reading) {
        case Reading::absent:
        case Reading::read:
            break;
        case Reading::failed:
            return fail(document.failure);
        case Reading::undecodable:
            // Damaged since it was loaded: kept aside, and all this process
            // holds is written in its place.
            if (!setAside()) return false;
            for (auto it = values_.constBegin(); it != values_.constEnd(); ++it) changed_.insert(it.key());
            break;
    }
    for (const QString& key : std::as_const(changed_)) {
        const auto it = values_.constFind(key);
        if (it == values_.constEnd()) {
            document.object.remove(key);
        } else {
            document.object.insert(key, encodeEntry(*it));
        }
    }

    // A save that fails leaves the file as it was: the changes stay in
    // memory and go in with the next write.
    if (const auto failure = writeFileAtomically(path_, QJsonDocument(document.object).toJson(QJsonDocument::Indented),
                                                 kPrivateFilePermissions)) {
        // Judged as the write stopped: the cancelled save has given its
        // blocks back, so the disk no longer looks full, but was.
        if (failure->error == QFileDevice::ResourceError) return fail(fullDiskText(folder));
        return fail(storageProblem(folder).value_or(text("无法写入设置文件 %1：%2").arg(path_, failure->description)));
    }
    changed_.clear();
    if (!failure_.isEmpty()) qCInfo(lcSettings).noquote() << "the settings are saved to" << path_ << "again";
    failure_.clear();
    return true;
}

std::optional<DefaultsValue> JsonFileUserDefaults::value(const QString& key) const {
    const auto it = values_.constFind(key);
    if (it == values_.constEnd()) return std::nullopt;
    return *it;
}

bool JsonFileUserDefaults::setValue(const QString& key, const DefaultsValue& value) {
    values_.insert(key, value);
    changed_.insert(key);
    return save();
}

bool JsonFileUserDefaults::removeValue(const QString& key) {
    values_.remove(key);
    changed_.insert(key);
    return save();
}

}  // namespace glidra::linux_platform
