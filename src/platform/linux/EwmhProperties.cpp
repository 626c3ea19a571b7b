#include "platform/linux/EwmhProperties.h"

#include <QFile>

#include <charconv>
#include <cmath>
#include <cstring>

namespace glidra::linux_platform::ewmh {

namespace {

// X protocol values.
constexpr std::uint32_t kStaticGravity = 10;
constexpr std::uint32_t kMoveResizeX = 1u << 8;
constexpr std::uint32_t kMoveResizeY = 1u << 9;
constexpr std::uint32_t kMoveResizeWidth = 1u << 10;
constexpr std::uint32_t kMoveResizeHeight = 1u << 11;
constexpr std::uint32_t kIconicState = 3;

// Coordinates travel as 32-bit items; negative positions as their two's
// complement.
std::uint32_t coordinate(double value) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(value)));
}

std::uint32_t length(double value) { return static_cast<std::uint32_t>(std::max(1L, std::lround(value))); }

std::optional<std::int64_t> parseInteger(QByteArrayView text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || last != end) return std::nullopt;
    return value;
}

}  // namespace

std::vector<std::uint32_t> items32(const PropertyReply& reply, std::uint32_t type) {
    if (reply.type != type || reply.format != 32 || reply.value.size() % 4 != 0) return {};
    std::vector<std::uint32_t> items(std::size_t(reply.value.size()) / 4);
    if (!items.empty()) std::memcpy(items.data(), reply.value.constData(), std::size_t(reply.value.size()));
    return items;
}

std::optional<std::uint32_t> activeWindow(const PropertyReply& reply) {
    const std::vector<std::uint32_t> windows = items32(reply, kAtomWindow);
    if (windows.empty()) return std::nullopt;
    return windows.front();
}

std::vector<std::uint32_t> windowList(const PropertyReply& reply) { return items32(reply, kAtomWindow); }

std::optional<std::int32_t> processIdentifier(const PropertyReply& reply) {
    const std::vector<std::uint32_t> values = items32(reply, kAtomCardinal);
    if (values.empty() || values.front() == 0 || values.front() > std::uint32_t(INT32_MAX)) return std::nullopt;
    return static_cast<std::int32_t>(values.front());
}

std::optional<WmClass> wmClass(const PropertyReply& reply) {
    if (reply.type != kAtomString || reply.format != 8) return std::nullopt;
    const QList<QByteArray> parts = reply.value.split('\0');
    // "instance\0class\0" splits into the two names and a trailing empty part.
    if (parts.size() < 2) return std::nullopt;
    WmClass names{QString::fromLocal8Bit(parts[0]), QString::fromLocal8Bit(parts[1])};
    if (names.instance.isEmpty() && names.className.isEmpty()) return std::nullopt;
    return names;
}

std::vector<std::uint32_t> atoms(const PropertyReply& reply) { return items32(reply, kAtomAtom); }

std::optional<FrameExtents> frameExtents(const PropertyReply& reply) {
    const std::vector<std::uint32_t> values = items32(reply, kAtomCardinal);
    if (values.size() != 4) return std::nullopt;
    return FrameExtents{double(values[0]), double(values[1]), double(values[2]), double(values[3])};
}

std::optional<QString> utf8String(const PropertyReply& reply, std::uint32_t utf8StringAtom) {
    if (reply.type != utf8StringAtom || utf8StringAtom == kAtomNone || reply.format != 8) return std::nullopt;
    QByteArray text = reply.value;
    while (text.endsWith('\0')) text.chop(1);
    return QString::fromUtf8(text);
}

QRectF visibleFrame(const QRectF& client, const FrameExtents& decorations, const FrameExtents& shadow) {
    return client.adjusted(shadow.left - decorations.left, shadow.top - decorations.top,
                           decorations.right - shadow.right, decorations.bottom - shadow.bottom);
}

QRectF clientRect(const QRectF& frame, const FrameExtents& decorations, const FrameExtents& shadow) {
    return frame.adjusted(decorations.left - shadow.left, decorations.top - shadow.top,
                          shadow.right - decorations.right, shadow.bottom - decorations.bottom);
}

ClientMessage moveResize(std::uint32_t moveResizeAtom, std::uint32_t window, std::optional<QPointF> clientTopLeft,
                         std::optional<QSizeF> clientSize) {
    ClientMessage message{window, moveResizeAtom, {}};
    std::uint32_t flags = kStaticGravity | (kSourcePager << 12);
    if (clientTopLeft) {
        flags |= kMoveResizeX | kMoveResizeY;
        message.data[1] = coordinate(clientTopLeft->x());
        message.data[2] = coordinate(clientTopLeft->y());
    }
    if (clientSize) {
        flags |= kMoveResizeWidth | kMoveResizeHeight;
        message.data[3] = length(clientSize->width());
        message.data[4] = length(clientSize->height());
    }
    message.data[0] = flags;
    return message;
}

ClientMessage changeState(std::uint32_t stateAtom, std::uint32_t window, std::uint32_t action, std::uint32_t first,
                          std::uint32_t second) {
    return {window, stateAtom, {action, first, second, kSourcePager, 0}};
}

ClientMessage closeWindow(std::uint32_t closeAtom, std::uint32_t window) {
    return {window, closeAtom, {0, kSourcePager, 0, 0, 0}};
}

ClientMessage activateWindow(std::uint32_t activeAtom, std::uint32_t window, std::uint32_t currentlyActive) {
    return {window, activeAtom, {kSourcePager, 0, currentlyActive, 0, 0}};
}

ClientMessage iconify(std::uint32_t changeStateAtom, std::uint32_t window) {
    return {window, changeStateAtom, {kIconicState, 0, 0, 0, 0}};
}

std::optional<QString> launchedDesktopFile(const QByteArray& environment, std::int32_t processIdentifier) {
    std::optional<QByteArray> file;
    std::optional<std::int64_t> launched;
    for (const QByteArray& entry : environment.split('\0')) {
        if (entry.startsWith("GIO_LAUNCHED_DESKTOP_FILE=")) {
            file = entry.mid(int(std::strlen("GIO_LAUNCHED_DESKTOP_FILE=")));
        } else if (entry.startsWith("GIO_LAUNCHED_DESKTOP_FILE_PID=")) {
            launched =
                parseInteger(QByteArrayView(entry).sliced(qsizetype(std::strlen("GIO_LAUNCHED_DESKTOP_FILE_PID="))));
        }
    }
    if (!file || file->isEmpty() || launched != processIdentifier) return std::nullopt;
    return QFile::decodeName(*file);
}

}  // namespace glidra::linux_platform::ewmh
