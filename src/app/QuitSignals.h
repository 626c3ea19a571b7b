#pragma once

#include <QObject>

#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace glidra {

// Turns the signals that end a session (SIGTERM at logout, SIGINT from a
// terminal) into an orderly quit on the main thread: the handler only notes
// the signal and writes a byte to a pipe, which the event loop reads. Made
// as soon as the application object exists, so a signal during start-up is
// kept for start-up to see.
class QuitSignals final : public QObject {
    Q_OBJECT
public:
    // Also lets the signals through when whoever started the program left
    // them blocked, or holdBack() held them: one that arrived meanwhile is
    // taken now, as if it had just come. Programs started from then on begin
    // with none of them blocked.
    explicit QuitSignals(std::initializer_list<int> signals, QObject* parent = nullptr);

    // Blocks the signals for the calling thread and the threads it starts,
    // so that one arriving before the handler exists waits for it instead of
    // ending the program half started. For the first line of main(), while
    // the process has one thread.
    static void holdBack(std::initializer_list<int> signals);
    // Puts the default handlers back.
    ~QuitSignals() override;

    // One of the signals has arrived (the event loop may not have run yet).
    bool pending() const;

Q_SIGNALS:
    void received(int signal);

private:
    void readPipe();

    std::vector<int> signals_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace glidra
