#include "platform/SignalPipe.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int pipeEnds[2] = {-1, -1};
constexpr int Caught[] = {SIGTERM, SIGHUP, SIGINT};

void onSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}
}

SignalPipe::SignalPipe(QObject *parent) : QObject(parent)
{
    if (pipeEnds[0] >= 0 || ::pipe(pipeEnds) != 0)
        return;
    for (int fd : pipeEnds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalPipe::readPending);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : Caught)
        ::sigaction(s, &action, nullptr);
}

SignalPipe::~SignalPipe()
{
    if (!m_notifier)
        return;
    for (int s : Caught)
        ::signal(s, SIG_DFL);
    for (int &fd : pipeEnds) {
        ::close(fd);
        fd = -1;
    }
}

void SignalPipe::readPending()
{
    unsigned char byte = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1)
        emit received(byte);
}
#else
SignalPipe::SignalPipe(QObject *parent) : QObject(parent) {}
SignalPipe::~SignalPipe() = default;
void SignalPipe::readPending() {}
#endif
