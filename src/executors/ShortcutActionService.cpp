#include "executors/ShortcutActionService.h"

#include "common/Json.h"
#include "common/Localized.h"

#include <QCollator>
#include <QLocale>
#include <QPointer>

#include <algorithm>

namespace glidra {

namespace {

HUDNotice failure(const char* text) {
    return HUDNotice{localized(text), QStringLiteral("exclamationmark.circle"), HUDNotice::Kind::error};
}

}  // namespace

ShortcutActionService::ShortcutActionService(ProcessRunner& runner, Scheduler& scheduler,
                                             const AdjustmentHUDFactory& makeHUD, AdjustmentHUDSettings hudSettings,
                                             QObject* parent)
    : QObject(parent), runner_(runner), scheduler_(scheduler), hud_(makeHUD(std::move(hudSettings))) {}

ShortcutActionService::~ShortcutActionService() = default;

QCoro::Task<HUDNotice> ShortcutActionService::start(ShortcutTarget target) {
    if (!json::parseUuid(target.id)) co_return failure(GLIDRA_TEXT("快捷指令已失效，请重新选择"));
    if (running_.contains(target.id)) {
        co_return HUDNotice{localized(GLIDRA_TEXT("此快捷指令正在运行")), QStringLiteral("hourglass"),
                            HUDNotice::Kind::information};
    }
    running_.insert(target.id);
    hud_->show(HUDNotice{localized(GLIDRA_TEXT("正在运行 ")) + target.name, QStringLiteral("square.stack.3d.up"),
                         HUDNotice::Kind::information});

    QPointer<ShortcutActionService> self(this);
    ShortcutsCommandProcess process(runner_, scheduler_);
    const QStringList arguments{QStringLiteral("run"), target.id};
    auto running = process.execute(arguments, /*captureOutput=*/false, runTimeout);
    const auto outcome = co_await running;
    if (self) running_.remove(target.id);

    if (!outcome) co_return failure(GLIDRA_TEXT("无法运行快捷指令"));
    if (outcome->status == 0) {
        co_return HUDNotice{localized(GLIDRA_TEXT("已运行 ")) + target.name, QStringLiteral("checkmark"),
                            HUDNotice::Kind::success};
    }
    if (outcome->status == -1) co_return failure(GLIDRA_TEXT("快捷指令运行超时"));
    co_return failure(GLIDRA_TEXT("快捷指令未完成，请在快捷指令 App 中检查"));
}

QCoro::Task<Result<std::vector<ShortcutTarget>, ShortcutActionService::ListError>>
ShortcutActionService::loadShortcuts() {
    ShortcutsCommandProcess process(runner_, scheduler_);
    const QStringList arguments{QStringLiteral("list"), QStringLiteral("--show-identifiers")};
    auto listing = process.execute(arguments, /*captureOutput=*/true, listTimeout);
    const auto outcome = co_await listing;
    if (!outcome) {
        const auto kind = outcome.error().kind == ShortcutsCommandProcess::Error::Kind::outputFile
                              ? ListError::Kind::outputFile
                              : ListError::Kind::launch;
        co_return Failure{ListError{kind, outcome.error().description}};
    }
    if (outcome->status != 0) co_return Failure{ListError{ListError::Kind::fileReadUnknown, {}}};
    auto targets = ShortcutTarget::parseList(outcome->output);
    sortByName(targets);
    co_return targets;
}

void ShortcutActionService::sortByName(std::vector<ShortcutTarget>& targets) {
    // The C locale compares code points, ignoring case and numbers: names
    // sort as in English there.
    QLocale locale;
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::English);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(targets.begin(), targets.end(), [&collator](const ShortcutTarget& a, const ShortcutTarget& b) {
        return collator.compare(a.name, b.name) < 0;
    });
}

}  // namespace glidra
