// Feeds arbitrary reports to the desktop add-ons' readers: lines of text as
// the KWin script's Report calls, and maps of values of any type as the
// GNOME Shell extension's window descriptions. Whatever they hold, a report
// ends in a window or none; a KWin window always has a handle, the same one
// for the same script id, and a GNOME window the handle it was given.

#include "platform/linux/GnomeShellWindowBridge.h"
#include "platform/linux/KWinScriptWindowBridge.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QStringList>
#include <QVariantMap>

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

using glidra::linux_platform::GnomeShellWindowBridge;
using glidra::linux_platform::KWinScriptWindowBridge;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "desktop add-on fuzzer: %s\n", what);
    std::abort();
}

// A bus that was never connected: the bridges then serve nothing and only
// read what they are handed.
QDBusConnection noBus() { return QDBusConnection(QStringLiteral("glidra-fuzz-no-bus")); }

const char* const kGnomeKeys[] = {"id", "app-id", "resource-class", "pid",        "title",         "x",
                                  "y",  "width",  "height",         "fullscreen", "focused-window"};

QVariant anyValue(FuzzedDataProvider& input, int depth);

QVariantMap anyMap(FuzzedDataProvider& input, int depth) {
    QVariantMap map;
    const int entries = input.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < entries && input.remaining_bytes() > 0; ++i) {
        const QString key = input.ConsumeBool() ? QString::fromLatin1(input.PickValueInArray(kGnomeKeys))
                                                : QString::fromUtf8(input.ConsumeRandomLengthString(16).c_str());
        map.insert(key, anyValue(input, depth + 1));
    }
    return map;
}

QVariant anyValue(FuzzedDataProvider& input, int depth) {
    constexpr double kDoubles[] = {std::numeric_limits<double>::quiet_NaN(),
                                   std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(),
                                   1e300,
                                   -1e300,
                                   2147483648.0,
                                   -0.0};
    switch (input.ConsumeIntegralInRange(0, 11)) {
        case 0:
            return input.ConsumeBool();
        case 1:
            return input.ConsumeIntegral<std::int32_t>();
        case 2:
            return input.ConsumeIntegral<std::uint32_t>();
        case 3:
            return qlonglong(input.ConsumeIntegral<std::int64_t>());
        case 4:
            return qulonglong(input.ConsumeIntegral<std::uint64_t>());
        case 5:
            return input.ConsumeFloatingPoint<double>();
        case 6:
            return input.PickValueInArray(kDoubles);
        case 7:
            return QString::fromUtf8(input.ConsumeRandomLengthString(64).c_str());
        case 8:
            return QByteArray::fromStdString(input.ConsumeRandomLengthString(32));
        case 9:
            return QStringList{QString::fromUtf8(input.ConsumeRandomLengthString(16).c_str())};
        case 10:
            return depth < 3 ? QVariant(anyMap(input, depth)) : QVariant();
        default:
            return depth < 3 ? QVariant::fromValue(QDBusVariant(anyValue(input, depth + 1))) : QVariant();
    }
}

void readKWinReports(const QByteArray& text) {
    KWinScriptWindowBridge bridge(noBus(), QString());
    QHash<QString, std::uint64_t> handles;
    // Fewer lines than the bridge remembers windows, so no handle is
    // forgotten on the way.
    const QList<QByteArray> lines = text.split('\n').mid(0, 512);
    for (const QByteArray& line : lines) {
        const QString report = QString::fromUtf8(line);
        bridge.takeReport(report);
        if (!bridge.isConnected()) fail("a KWin report leaves the script unanswered");
        const QString id = QJsonDocument::fromJson(report.toUtf8()).object().value(QStringLiteral("id")).toString();
        const auto window = bridge.focusedWindow();
        if (id.isEmpty()) {
            if (window) fail("a KWin report without an id gives a window");
            continue;
        }
        if (!window) fail("a KWin report with an id gives no window");
        if (window->id == 0) fail("a KWin window without a handle");
        const auto known = handles.constFind(id);
        if (known != handles.constEnd() && *known != window->id) fail("a KWin window changed its handle");
        handles.insert(id, window->id);
    }
}

void readGnomeReport(FuzzedDataProvider& input) {
    const QVariantMap report = anyMap(input, 0);
    const auto window = GnomeShellWindowBridge::windowFrom(report);
    if (!window) return;
    if (window->id == 0) fail("a GNOME window without a handle");
    if (window->id != report.value(QStringLiteral("id")).toULongLong()) fail("a GNOME window with another handle");
    const QRectF frame = window->frame;
    if (!std::isfinite(frame.x()) || !std::isfinite(frame.y()) || !std::isfinite(frame.width()) ||
        !std::isfinite(frame.height())) {
        fail("a GNOME window frame that is not finite");
    }
    if (window->processIdentifier && *window->processIdentifier <= 0) fail("a GNOME window of no process");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication application(*argc, *argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if ((data[0] & 1) == 0) {
        readKWinReports(QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)));
    } else {
        FuzzedDataProvider input(data + 1, size - 1);
        readGnomeReport(input);
    }
    return 0;
}
