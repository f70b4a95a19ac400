// Long work off the window's thread: short work shows no dialog, long work
// shows one after half a second, and its Cancel stops the work, which the
// call waits for.
#include "dialogs/ProgressRunner.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QtTest>

class TestProgressRunner : public QObject {
    Q_OBJECT
private slots:
    void shortWorkRunsOffTheWindowsThreadWithoutADialog()
    {
        QWidget window;
        window.show();
        QThread *workThread = nullptr;
        bool dialogSeen = false;
        QTimer look;
        connect(&look, &QTimer::timeout, [&] { dialogSeen = dialogSeen || window.findChild<QProgressDialog *>(); });
        look.start(10);
        ProgressRunner::run(&window, "Short", [&](WorkProgress &) { workThread = QThread::currentThread(); });
        QVERIFY(workThread && workThread != QThread::currentThread());
        QVERIFY(!dialogSeen || !window.findChild<QProgressDialog *>());
    }

    void cancelStopsLongWork()
    {
        QWidget window;
        window.show();
        QTimer press;
        bool pressed = false;
        connect(&press, &QTimer::timeout, [&] {
            auto *dialog = window.findChild<QProgressDialog *>("dlgProgress");
            if (!dialog || !dialog->isVisible() || pressed)
                return;
            QCOMPARE(dialog->labelText(), QString("Long"));
            QVERIFY(dialog->value() >= 0);
            pressed = true;
            QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
        });
        press.start(20);
        bool stoppedByCancel = false;
        ProgressRunner::run(&window, "Long", [&](WorkProgress &progress) {
            progress.setTotal(1000);
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < 20000) {
                if (progress.isCancelled()) {
                    stoppedByCancel = true;
                    return;
                }
                progress.setDone(clock.elapsed() / 20);
                QThread::msleep(5);
            }
        });
        QVERIFY(pressed);
        QVERIFY(stoppedByCancel);
    }
};

QTEST_MAIN(TestProgressRunner)
#include "test_progressrunner.moc"
