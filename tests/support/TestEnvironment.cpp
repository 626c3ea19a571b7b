#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QStandardPaths>

namespace glidra::test {

namespace {
QString currentHome;
}

void TemporaryHomeListener::OnTestStart(const ::testing::TestInfo&) {
    home_ = std::make_unique<QTemporaryDir>();
    const QString root = home_->path();
    currentHome = root;
    const auto setFolder = [&root](const char* variable, const QString& relative) {
        const QString path = relative.isEmpty() ? root : root + QLatin1Char('/') + relative;
        QDir().mkpath(path);
        qputenv(variable, QFile::encodeName(path));
    };
    setFolder("HOME", {});
    setFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
    setFolder("XDG_STATE_HOME", QStringLiteral(".local/state"));
    setFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
    setFolder("XDG_CACHE_HOME", QStringLiteral(".cache"));
}

void TemporaryHomeListener::OnTestEnd(const ::testing::TestInfo&) {
    home_.reset();
    currentHome.clear();
}

void QueuedWorkListener::OnTestEnd(const ::testing::TestInfo&) {
    // A resumed chain may queue the next step of its ending; a frame still
    // waiting for the main thread is delivered now, not in the next test.
    for (int round = 0; round < 16; ++round) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

QString temporaryHome() { return currentHome; }

int runAllTests(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TemporaryHomeListener);
    // Ends before the home goes: listeners hear a test's end in reverse.
    ::testing::UnitTest::GetInstance()->listeners().Append(new QueuedWorkListener);
    return RUN_ALL_TESTS();
}

}  // namespace glidra::test
