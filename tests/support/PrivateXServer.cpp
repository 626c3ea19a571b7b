#include "support/PrivateXServer.h"

#include "support/ServiceProcess.h"

namespace glidra::test {

PrivateXServer::PrivateXServer(const QString& screen) {
    // The server picks a free display and prints its number once it listens.
    const QString number =
        startAndReadFirstLine(process_, QStringLiteral("Xvfb"),
                              {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                               QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"), screen},
                              failure_);
    if (!number.isEmpty()) display_ = QStringLiteral(":") + number;
}

PrivateXServer::~PrivateXServer() = default;

}  // namespace glidra::test
