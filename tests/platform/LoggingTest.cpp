#include "platform/LogCategories.h"
#include "platform/linux/DBusCall.h"
#include "platform/linux/XcbConnection.h"
#include "support/LogCapture.h"
#include "support/TaskResult.h"

#include "PrivateBusTest.h"

#include <gtest/gtest.h>

#include <QFile>

namespace glidra {
namespace {

// Out of the box an autostarted program's standard error holds warnings and
// the few information lines, never the debug output.
TEST(LogCategories, EachAreaShowsWarningsAndHidesDebugOutputUntilAskedFor) {
    struct Case {
        const QLoggingCategory& category;
        const char* name;
    };
    const Case cases[] = {
        {lcInput(), "glidra.input"},       {lcRecognition(), "glidra.recognition"}, {lcActions(), "glidra.actions"},
        {lcRecovery(), "glidra.recovery"}, {lcSettings(), "glidra.settings"},       {lcServices(), "glidra.services"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.category.categoryName(), c.name);
        EXPECT_TRUE(c.category.isWarningEnabled());
        EXPECT_TRUE(c.category.isInfoEnabled());
        EXPECT_FALSE(c.category.isDebugEnabled());
    }
    {
        // What QT_LOGGING_RULES="glidra.*.debug=true" does.
        const test::LogCapture debugOn(true);
        for (const Case& c : cases) EXPECT_TRUE(c.category.isDebugEnabled()) << c.name;
    }
    EXPECT_FALSE(lcInput().isDebugEnabled());
}

using DBusCallLogTest = test::PrivateBusTest;

TEST_F(DBusCallLogTest, AServiceThatKeepsFailingIsLoggedOnceWithItsNameAndTheReason) {
    const QDBusConnection bus = connectToBus(QStringLiteral("logging"));
    const linux_platform::DBusMethod missing{QStringLiteral("org.example.Missing"), QStringLiteral("/org/example"),
                                             QStringLiteral("org.example.Thing"), QStringLiteral("Get")};
    // The call came back, with no answer.
    const auto failed = [&](const linux_platform::DBusMethod& method) {
        const auto result = test::waitForResult(linux_platform::callDBus(bus, method));
        return result.has_value() && !result->has_value();
    };
    test::LogCapture log;
    EXPECT_TRUE(failed(missing));
    EXPECT_TRUE(failed(missing));
    QStringList warnings = log.texts("glidra.services");
    ASSERT_EQ(warnings.size(), 1) << warnings.join(u'\n').toStdString();
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("org.example.Missing")));
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("org.example.Thing.Get")));
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown")))
        << warnings[0].toStdString();

    // Another method is another failure.
    linux_platform::DBusMethod other = missing;
    other.method = QStringLiteral("Set");
    EXPECT_TRUE(failed(other));
    EXPECT_EQ(log.texts("glidra.services").size(), 2);
}

// The log says which display was tried and why it failed, also when the
// session gave no DISPLAY at all.
TEST(XcbConnectionLog, AFailedConnectionNamesTheDisplayAndTheReason) {
    // A display number whose socket is not there: nothing listens on it.
    int number = 9000;
    while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) ++number;
    const QByteArray absent = ':' + QByteArray::number(number);
    const QByteArray saved = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    test::LogCapture log;
    EXPECT_FALSE(linux_platform::XcbConnection(absent).isConnected());
    EXPECT_FALSE(linux_platform::XcbConnection(QByteArray()).isConnected());
    if (!saved.isNull()) qputenv("DISPLAY", saved);
    const QStringList warnings = log.texts("glidra.services");
    ASSERT_EQ(warnings.size(), 2) << warnings.join(u'\n').toStdString();
    EXPECT_EQ(warnings[0], QStringLiteral("cannot connect to the X display %1: no X server answers there; windows and "
                                          "the front application are unknown")
                               .arg(QString::fromLatin1(absent)));
    EXPECT_EQ(warnings[1], QStringLiteral("cannot connect to the X display (DISPLAY is not set): not a display name; "
                                          "windows and the front application are unknown"));
}

}  // namespace
}  // namespace glidra
