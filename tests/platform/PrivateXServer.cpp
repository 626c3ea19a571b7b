#include "platform/PrivateXServer.h"

#include <QStandardPaths>

namespace glidra::test {

PrivateXServer::PrivateXServer() {
    const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (server.isEmpty()) {
        failure_ = QStringLiteral("Xvfb is not installed");
        return;
    }
    // The server picks a free display itself and prints its number once it
    // accepts connections.
    process_ = std::make_unique<AnnouncingProcess>(
        server, QStringList{QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1920x1080x24")});
    failure_ = process_->failure();
    if (!process_->announcement().isEmpty()) display_ = ':' + process_->announcement();
}

}  // namespace glidra::test
