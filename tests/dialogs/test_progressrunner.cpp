// Long work off the window's thread: short work shows no dialog, long work
// shows one after half a second, and its Cancel stops the work, which the
// call waits for.
#include "dialogs/ProgressRunner.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QWindow>
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

    // Cancel as a user gives it: a real mouse click, Escape or Space, sent
    // to the dialog's window (where the window system delivers input), not
    // a call on the button.
    void cancelStopsLongWork_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("mouse") << "mouse";
        QTest::newRow("escape") << "escape";
        QTest::newRow("space") << "space";
    }
    void cancelStopsLongWork()
    {
        QFETCH(QString, how);
        QWidget window;
        window.show();
        QTimer press;
        bool pressed = false;
        connect(&press, &QTimer::timeout, [&] {
            auto *dialog = window.findChild<QProgressDialog *>("dlgProgress");
            if (!dialog || !dialog->isVisible() || pressed || !QTest::qWaitForWindowExposed(dialog->windowHandle()))
                return;
            QCOMPARE(dialog->labelText(), QString("Long"));
            QVERIFY(dialog->value() >= 0);
            pressed = true;
            QWindow *handle = dialog->windowHandle();
            auto *button = dialog->findChild<QPushButton *>();
            if (how == "mouse")
                QTest::mouseClick(handle, Qt::LeftButton, {}, button->mapTo(dialog, button->rect().center()));
            else if (how == "escape")
                QTest::keyClick(handle, Qt::Key_Escape);
            else {
                button->setFocus();
                QTest::keyClick(handle, Qt::Key_Space);
            }
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
