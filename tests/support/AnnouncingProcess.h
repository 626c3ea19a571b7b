#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace glidra::test {

// A service program a test starts for itself, which prints one line (where to
// reach it) once it serves. Stopped with the object.
class AnnouncingProcess {
public:
    AnnouncingProcess(const QString& program, const QStringList& arguments);
    ~AnnouncingProcess();
    AnnouncingProcess(const AnnouncingProcess&) = delete;
    AnnouncingProcess& operator=(const AnnouncingProcess&) = delete;

    // The line it printed, trimmed; empty when it did not start.
    const QByteArray& announcement() const { return announcement_; }
    // Why it did not start.
    const QString& failure() const { return failure_; }

private:
    QProcess process_;
    QByteArray announcement_;
    QString failure_;
};

}  // namespace glidra::test
