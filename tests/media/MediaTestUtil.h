#pragma once
// Helpers shared by the media tests.
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QString>
#include <functional>

inline QString mediaFile(const QString &name)
{
    return testData(QStringLiteral("media/") + name);
}

// Runs the event loop for `ms` milliseconds (or until `done` says so).
inline void spin(int ms, const std::function<bool()> &done = {})
{
    // A real event loop: the media backend's bus messages need one.
    QEventLoop loop;
    QElapsedTimer t;
    t.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (t.elapsed() >= ms || (done && done()))
            loop.quit();
    });
    poll.start(10);
    loop.exec();
}
