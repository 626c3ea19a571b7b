#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace glidra {

// One Glidra per user: the first start holds a lock in the runtime folder and
// listens there; a second start asks it to open its window and ends.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    // `folder` is the user's runtime folder.
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock and listens; false when another instance holds it (or
    // the folder cannot be written), which then should hand over.
    bool becomePrimary();
    // Asks the running instance to open its window; false when none answered.
    bool askPrimaryToOpenWindow();

    QString lockPath() const;
    QString socketPath() const;

Q_SIGNALS:
    // A later start asked for the window.
    void openWindowRequested();

private:
    void readRequests();

    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace glidra
