#include "app/QuitSignals.h"

#include <QSocketNotifier>

#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>
#include <array>
#include <csignal>

namespace glidra {

namespace {

// One pipe for the process: signal handlers are process-wide.
std::array<int, 2> pipeEnds = {-1, -1};
volatile std::sig_atomic_t arrived = 0;

extern "C" void writeSignal(int signal) {
    arrived = 1;
    const unsigned char byte = static_cast<unsigned char>(signal);
    // Only async-signal-safe calls here.
    [[maybe_unused]] const auto written = ::write(pipeEnds[0], &byte, 1);
}

}  // namespace

QuitSignals::QuitSignals(std::initializer_list<int> signals, QObject* parent) : QObject(parent), signals_(signals) {
    arrived = 0;
    sigset_t handled;
    sigemptyset(&handled);
    for (const int signal : signals_) sigaddset(&handled, signal);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds.data()) == 0) {
        notifier_ = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::readPipe);
        struct sigaction action = {};
        action.sa_handler = writeSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : signals_) ::sigaction(signal, &action, nullptr);
    }
    // Without the pipe the signals keep their default action; held back
    // for good, they would not end the program at all.
    ::pthread_sigmask(SIG_UNBLOCK, &handled, nullptr);
}

void QuitSignals::holdBack(std::initializer_list<int> signals) {
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : signals) sigaddset(&held, signal);
    ::pthread_sigmask(SIG_BLOCK, &held, nullptr);
}

QuitSignals::~QuitSignals() {
    for (const int signal : signals_) std::signal(signal, SIG_DFL);
    delete notifier_;
    for (int& end : pipeEnds) {
        if (end >= 0) ::close(end);
        end = -1;
    }
}

bool QuitSignals::pending() const { return arrived != 0; }

void QuitSignals::readPipe() {
    unsigned char byte = 0;
    while (::read(pipeEnds[1], &byte, 1) == 1) Q_EMIT received(int(byte));
}

}  // namespace glidra
