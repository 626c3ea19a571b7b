#include "platform/linux/InputAccessTrust.h"

#include "platform/linux/EvdevInputHub.h"
#include "platform/linux/InputServiceClient.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

namespace glidra::linux_platform {

namespace {

bool opens(const QByteArray& path, int mode) {
    const int fd = ::open(path.constData(), mode | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

}  // namespace

const char* missingAccessHint(int error) {
    return error == EACCES || error == EPERM ? " (no input access: see the input-access udev rules)" : "";
}

bool InputAccessTrust::serviceConnected() const { return service_ && service_->connected(); }

bool InputAccessTrust::isProcessTrusted() const {
    if (serviceConnected()) return true;
    if (!opens(uinputPath_, O_WRONLY)) return false;
    for (const InputNode& node : hub_.presentNodes(InputDeviceClass::touchpad)) {
        if (!opens(node.devnode, O_RDONLY)) return false;
    }
    return true;
}

bool InputAccessTrust::hasInputGrant(InputGrant grant) const {
    const auto readable = [&](InputDeviceClass deviceClass) {
        const std::vector<InputNode> nodes = hub_.presentNodes(deviceClass);
        if (nodes.empty()) return ruleInstalled(grant);
        return std::all_of(nodes.begin(), nodes.end(),
                           [](const InputNode& node) { return opens(node.devnode, O_RDONLY); });
    };
    if (serviceConnected() && (grant != InputGrant::keyboards || hub_.serves(InputDeviceClass::keyboard))) {
        return true;
    }
    switch (grant) {
        case InputGrant::touchpad:
            return readable(InputDeviceClass::touchpad);
        case InputGrant::keyboards:
            return readable(InputDeviceClass::keyboard);
        case InputGrant::virtualInput:
            return opens(uinputPath_, O_WRONLY);
    }
    return false;
}

InputService InputAccessTrust::inputService() const {
    if (serviceConnected()) return InputService::answering;
    return QFileInfo::exists(QFile::decodeName(serviceSocket_)) ? InputService::notAnswering
                                                                : InputService::notInstalled;
}

bool InputAccessTrust::ruleInstalled(InputGrant grant) const {
    const QString file = inputGrantRuleFile(grant);
    return std::any_of(ruleFolders_.begin(), ruleFolders_.end(),
                       [&](const QString& folder) { return QFileInfo(folder + QLatin1Char('/') + file).isFile(); });
}

}  // namespace glidra::linux_platform
