#include "support/PrivateXServer.h"

#include "support/ServiceProcess.h"

namespace glidra::test {

PrivateXServer::PrivateXServer(const QString& screen) {
    // The server picks a free display and prints its number once it listens.
    // Two servers that start at once may pick the same one, and the later
    // then ends saying a server is running there: it tries again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        process_ = std::make_unique<SpawnedProcess>();
        failure_.clear();
        const QString number =
            startAndReadFirstLine(*process_, QStringLiteral("Xvfb"),
                                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                                   QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"), screen},
                                  failure_,
                                  // The server is not ours: the tests' preloads (umockdev, the
                                  // sanitizer's runtime) stay out of it and its keymap compiler.
                                  {"LD_PRELOAD="});
        if (!number.isEmpty()) {
            display_ = QStringLiteral(":") + number;
            return;
        }
        if (!failure_.contains(QLatin1String("server already running"))) return;
    }
}

PrivateXServer::~PrivateXServer() = default;

}  // namespace glidra::test
