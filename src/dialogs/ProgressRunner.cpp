#include "dialogs/ProgressRunner.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QWindow>

namespace {
// While the work runs, input reaches the progress dialog only (before the
// dialog shows, nothing): a second import must not start under the first.
// The window system hands input to the dialog's window first, which passes
// it on to the dialog's widgets: both must let it through, or Cancel never
// hears a click or a key.
class InputOnlyFor : public QObject {
public:
    explicit InputOnlyFor(QWidget *dialog) : m_dialog(dialog) { qApp->installEventFilter(this); }
    ~InputOnlyFor() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride: {
            if (!m_dialog->isVisible())
                return true;
            if (auto *window = qobject_cast<QWindow *>(watched))
                return window != m_dialog->windowHandle();
            // A shortcut (the dialog's Escape) belongs to its widget.
            QObject *owner = watched;
            while (owner && !owner->isWidgetType())
                owner = owner->parent();
            auto *widget = static_cast<QWidget *>(owner);
            return !(widget && (widget == m_dialog || m_dialog->isAncestorOf(widget)));
        }
        default:
            return false;
        }
    }

private:
    QWidget *m_dialog;
};
}

namespace ProgressRunner {

void run(QWidget *owner, const QString &label, const std::function<void(WorkProgress &)> &work)
{
    WorkProgress progress;
    std::unique_ptr<QThread> worker(QThread::create([&] { work(progress); }));
    QProgressDialog dialog(label, QObject::tr("Cancel"), 0, 1000, owner);
    dialog.setObjectName(QStringLiteral("dlgProgress"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(ShowAfterMs);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setValue(0);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&progress] { progress.cancel(); });

    QEventLoop loop;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        const qint64 total = progress.total();
        // setValue also shows the dialog once ShowAfterMs has passed.
        dialog.setValue(total > 0 ? int(std::min<qint64>(999, progress.done() * 1000 / total)) : 0);
    });
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    const InputOnlyFor onlyTheDialog(&dialog);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    worker->start();
    poll.start();
    loop.exec();
    worker->wait();
    QApplication::restoreOverrideCursor();
}

}
