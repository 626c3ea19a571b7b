#include "app/UpdateController.h"

namespace glidra {

namespace {

constexpr int kPublicKeyLength = 32;

// Decodes only well-formed, padded base64: Qt's default decoder skips what
// it cannot read, which would let a damaged key pass.
std::optional<QByteArray> strictBase64(const QString& text) {
    if (text.size() % 4 != 0) return std::nullopt;
    const auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (decoded.decodingStatus != QByteArray::Base64DecodingStatus::Ok) return std::nullopt;
    return decoded.decoded;
}

}  // namespace

UpdateController::UpdateController(const BundleInfo& bundle, UpdaterFactory makeUpdater, QObject* parent)
    : QObject(parent), bundle_(bundle), makeUpdater_(std::move(makeUpdater)), status_(tr("自动更新尚未开放")) {}

UpdateController::~UpdateController() = default;

bool UpdateController::isValidConfiguration(const QString& feed, const QString& publicKey) {
    // QUrl folds the scheme to lower case, so the spelling is checked as typed.
    if (!feed.startsWith(QLatin1String("https:"))) return false;
    const QUrl url(feed, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https")) return false;
    if (url.host().isEmpty()) return false;
    // An '@' in the authority is user information, even an empty one.
    if (url.authority(QUrl::FullyEncoded).contains(QLatin1Char('@'))) return false;
    const auto key = strictBase64(publicKey);
    return key && key->size() == kPublicKeyLength;
}

void UpdateController::start() {
    if (updater_) return;
    const QString feed = bundle_.feedURL.value_or(QString());
    const QString key = bundle_.publicEDKey.value_or(QString());
    if (!isValidConfiguration(feed, key)) return;

    updater_ = makeUpdater_(Updater::Configuration{
        QUrl(feed, QUrl::StrictMode),
        *strictBase64(key),
        UpdateReminderDelegate::supportsGentleScheduledUpdateReminders(),
    });
    connect(updater_.get(), &Updater::foundValidUpdate, &reminder_, &UpdateReminderDelegate::didFindValidUpdate);
    connect(updater_.get(), &Updater::foundNoUpdate, &reminder_, &UpdateReminderDelegate::didNotFindUpdate);
    connect(updater_.get(), &Updater::userMadeChoice, &reminder_, &UpdateReminderDelegate::userDidMakeChoice);

    if (updater_->start()) {
        // The updater stays, so no second start is tried in this run.
        setStatus(tr("更新服务暂不可用，请稍后重启 Glidra。"));
        return;
    }
    // Not ready yet, so the framework's own value is not written back.
    setAutomaticallyChecksForUpdates(updater_->automaticallyChecksForUpdates());
    setReady(true);
    setStatus(tr("发现新版本后提醒，安装前由你确认。"));
    connect(updater_.get(), &Updater::canCheckForUpdatesChanged, this, &UpdateController::setCanCheckForUpdates);
    connect(updater_.get(), &Updater::automaticallyChecksForUpdatesChanged, this,
            &UpdateController::reflectAutomaticChecks);
}

void UpdateController::checkForUpdates() {
    if (isReady_ && canCheckForUpdates_ && updater_) updater_->checkForUpdates();
}

void UpdateController::setAutomaticallyChecksForUpdates(bool value) {
    const bool changed = automaticallyChecksForUpdates_ != value;
    automaticallyChecksForUpdates_ = value;
    if (isReady_ && !isReflectingPreferences_ && changed && updater_) {
        updater_->setAutomaticallyChecksForUpdates(value);
    }
    if (changed) Q_EMIT automaticallyChecksForUpdatesChanged();
}

void UpdateController::reflectAutomaticChecks(bool value) {
    isReflectingPreferences_ = true;
    setAutomaticallyChecksForUpdates(value);
    isReflectingPreferences_ = false;
}

QString UpdateController::checkButtonTitle() const {
    return reminder_.hasUpdate() ? tr("发现新版本…") : tr("检查更新…");
}

void UpdateController::setReady(bool value) {
    if (isReady_ == value) return;
    isReady_ = value;
    Q_EMIT isReadyChanged();
}

void UpdateController::setCanCheckForUpdates(bool value) {
    if (canCheckForUpdates_ == value) return;
    canCheckForUpdates_ = value;
    Q_EMIT canCheckForUpdatesChanged();
}

void UpdateController::setStatus(const QString& value) {
    if (status_ == value) return;
    status_ = value;
    Q_EMIT statusChanged();
}

}  // namespace glidra
