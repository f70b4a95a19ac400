#pragma once
// Turns SIGTERM, SIGHUP and SIGINT (a logout, a `kill`, Ctrl+C in the
// terminal) into a Qt signal delivered by the event loop: the handler only
// writes the signal's number into a pipe, which is all a handler may safely
// do, and the loop reads it. Without it these signals end the program on the
// spot. One instance per process; on Windows it does nothing.

#include <QObject>

class QSocketNotifier;

class SignalPipe : public QObject {
    Q_OBJECT
public:
    explicit SignalPipe(QObject *parent = nullptr);
    ~SignalPipe() override;

signals:
    void received(int signalNumber);

private:
    void readPending();
    QSocketNotifier *m_notifier = nullptr;
};
