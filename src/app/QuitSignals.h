#pragma once

#include <QObject>

#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace glidra {

// Turns the signals that end a session (SIGTERM at logout, SIGINT from a
// terminal) into an orderly quit on the main thread: the handler only writes
// a byte to a pipe, which the event loop reads.
class QuitSignals final : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(std::initializer_list<int> signals, QObject* parent = nullptr);
    // Puts the default handlers back.
    ~QuitSignals() override;

Q_SIGNALS:
    void received(int signal);

private:
    void readPipe();

    std::vector<int> signals_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace glidra
