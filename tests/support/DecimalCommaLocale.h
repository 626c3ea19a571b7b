#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <optional>

namespace glidra::test {

// Puts the process into a German locale, whose decimal separator is a comma,
// as a user's session does through QCoreApplication: the C library's locale
// (strtod, printf) and Qt's default locale. The locale is generated with
// localedef into a temporary folder reached through LOCPATH, so the test
// needs no locale installed on the machine. Everything is put back when the
// object goes.
//
//   DecimalCommaLocale locale;
//   if (!locale.isActive()) GTEST_SKIP() << locale.unavailableReason().toStdString();
class DecimalCommaLocale {
public:
    DecimalCommaLocale();
    ~DecimalCommaLocale();
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool isActive() const { return active_; }
    // Why the locale could not be made, when it could not.
    const QString& unavailableReason() const { return reason_; }

private:
    void restore();

    bool active_ = false;
    QString reason_;
    QByteArray previousCLocale_;
    std::optional<QByteArray> previousLocPath_;
    QLocale previousQtLocale_;
};

}  // namespace glidra::test
