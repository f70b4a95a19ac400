#include "app/RecoveryKeeper.h"

#include <QApplication>

#include "document/QuestionView.h"
#include "platform/MessageService.h"
#include "platform/Platform.h"
#include "platform/SignalPipe.h"
#include "app/frmCreate.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QSessionManager>

// Each line says what the teacher gets back: the test's file (or that it
// was never saved), its questions, and what stood in the entry boxes (a new
// question being typed, or a question open for editing with its changes).
QString RecoveryKeeper::offerText(const RecoveryCopy &copy)
{
    const EditorSnapshot &w = copy.work;
    const QString file = w.originalPath.isEmpty() ? QObject::tr("untitled.ard (never saved)")
                                                  : QFileInfo(w.originalPath).fileName();
    QString questions = w.records.isEmpty() ? QObject::tr("none yet") : QString::number(w.records.size());
    if (w.entry.editing > 0)
        questions += QObject::tr(", and question %1 open for editing with the changes typed").arg(w.entry.editing);
    else if (!w.entry.isBlank())
        questions += w.records.isEmpty() ? QObject::tr(", but a first one being typed")
                                         : QObject::tr(", and a new one being typed");
    const QDateTime local = copy.lastChange.toLocalTime();
    const QString changed = QLocale().toString(local.date(), QLocale::LongFormat) + QStringLiteral(", ")
                            + QLocale().toString(local.time(), QLocale::ShortFormat);
    return QObject::tr("This test was not saved when the editor last closed:\n\n"
                       "Title: %1\nFile: %2\nQuestions: %3\nLast changed: %4\n\n"
                       "Restore it? No deletes this copy.")
        .arg(w.title.isEmpty() ? QObject::tr("(no title)") : w.title, file, questions, changed);
}

RecoveryKeeper::RecoveryKeeper(frmCreate *editor, const RecoveryStore &store)
    : QObject(editor), m_editor(editor), m_store(store)
{
    m_writer.setMaxThreadCount(1);
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(QuietMs);
    connect(&m_quiet, &QTimer::timeout, this, [this] { update(Mode::InBackground); });

    // The test tells its changes through the document, the entry area through
    // the window. The snapshot tells real changes from repainting, so a
    // signal too many costs only a comparison.
    const DocumentEditor &editing = editor->controller().changes();
    connect(&editing, &DocumentEditor::testChanged, this, &RecoveryKeeper::noteChange);
    connect(&editing, &DocumentEditor::aboutToReset, this, &RecoveryKeeper::testAboutToBeReplaced);
    connect(&editing, &DocumentEditor::documentReset, this, [this, &editing] {
        if (editing.isClean())
            testOpened();
    });
    connect(&editing, &DocumentEditor::cleanStateSet, this, &RecoveryKeeper::testSaved);
    connect(editor, &frmCreate::entryEdited, this, &RecoveryKeeper::noteChange);

    connect(qApp, &QCoreApplication::aboutToQuit, this, &RecoveryKeeper::writeNow);
    if (auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &) { writeNow(); });
    m_signals = new SignalPipe(this);
    connect(m_signals, &SignalPipe::received, this, &RecoveryKeeper::endOnSignal);
}

RecoveryKeeper::~RecoveryKeeper() { m_writer.waitForDone(); }

QString RecoveryKeeper::currentSlotFolder() const { return m_slot ? m_slot->folder() : QString(); }

void RecoveryKeeper::noteChange()
{
    if (m_restoring)
        return;
    m_lastChange = QDateTime::currentDateTimeUtc();
    if (!m_unwrittenSince.isValid())
        m_unwrittenSince.start();
    if (m_unwrittenSince.elapsed() >= LongestWaitMs)
        update(Mode::InBackground);
    else
        m_quiet.start();
}

void RecoveryKeeper::writeNow() { update(Mode::Now); }

void RecoveryKeeper::update(Mode mode)
{
    takePendingCleanState();
    m_quiet.stop();
    m_unwrittenSince.invalidate();
    EditorSnapshot now = m_editor->unsavedWork();
    // File > Open names the chosen file before it reads it (and a cancelled
    // Open names none): the work belongs to the file it was opened from,
    // saved to or restored with.
    now.originalPath = m_workFile;
    // The file name alone is no work: File > Open names the chosen file
    // before it is read.
    const bool unsaved = !now.isEmpty() && !(now.sameTest(m_clean) && now.entry.isBlank());
    if (!unsaved) {
        dropCurrentSlot();
        return;
    }
    if (mode == Mode::Now)
        m_writer.waitForDone();
    if (m_written && *m_written == now)
        return;
    if (m_disabled)
        return;
    if (!m_slot) {
        QString error;
        m_slot = m_store.createSlot(&error);
        if (!m_slot) {
            reportWriteFailure(error);
            return;
        }
    }
    m_written = now;
    const RecoveryCopy copy{now, m_lastChange.isValid() ? m_lastChange : QDateTime::currentDateTimeUtc()};
    RecoverySlot *slot = m_slot.get();
    if (mode == Mode::Now) {
        QString error;
        if (!slot->write(copy, &error))
            reportWriteFailure(error);
        return;
    }
    m_writer.start([this, slot, copy] {
        QString error;
        if (!slot->write(copy, &error))
            QMetaObject::invokeMethod(this, [this, error] { reportWriteFailure(error); }, Qt::QueuedConnection);
    });
}

void RecoveryKeeper::dropCurrentSlot()
{
    m_writer.waitForDone();
    if (m_slot)
        m_slot->remove();
    m_slot.reset();
    m_written.reset();
}

// A disk that is full or read-only must not interrupt the teacher more than
// once; Save still works or reports for itself.
void RecoveryKeeper::reportWriteFailure(const QString &reason)
{
    m_written.reset();
    // A slot that never held a copy is not left behind.
    if (m_slot && m_slot->isEmpty())
        dropCurrentSlot();
    if (m_failureReported)
        return;
    m_failureReported = true;
    showWarning(tr("Unsaved work cannot be kept for recovery (%1). Save the test to keep it.").arg(reason));
}

void RecoveryKeeper::showWarning(const QString &text)
{
    MessageRequest request;
    request.text = text;
    request.icon = MsgIcon::Exclamation;
    request.owner = m_editor;
    Platform::messages().show(request);
}

void RecoveryKeeper::testAboutToBeReplaced()
{
    if (m_restoring)
        return;
    update(Mode::Now);
    // The dropped work's copy stays, locked until this editor ends.
    if (m_slot)
        m_kept.push_back(std::move(m_slot));
    m_written.reset();
}

// A test opened or started new is clean, but the window still shows the
// title and class/teacher line of the test it replaces (they are filled after
// the load): the clean state is read once the command has finished, or
// before anything is compared with it.
void RecoveryKeeper::testOpened()
{
    if (m_restoring)
        return;
    m_cleanPending = true;
    QTimer::singleShot(0, this, &RecoveryKeeper::takePendingCleanState);
}

void RecoveryKeeper::testSaved()
{
    if (m_restoring)
        return;
    m_cleanPending = true;
    takePendingCleanState();
}

void RecoveryKeeper::takePendingCleanState()
{
    if (!m_cleanPending)
        return;
    m_cleanPending = false;
    m_quiet.stop();
    m_unwrittenSince.invalidate();
    m_clean = m_editor->unsavedWork();
    m_workFile = m_clean.originalPath;
    dropCurrentSlot();
    // A question typed but not added is still unsaved after a save.
    m_quiet.start();
}

void RecoveryKeeper::endOnSignal()
{
    m_ending = true;
    writeNow();
    // A question still open (the start-up offer) is closed unanswered: its
    // copy stays for the next start.
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    if (m_editor->isVisible())
        m_editor->close();
    // Also when the event loop has not begun yet: the quit waits for it.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

bool RecoveryKeeper::offerAbandoned()
{
    struct Offer {
        std::unique_ptr<RecoverySlot> slot;
        RecoveryCopy copy;
    };
    std::vector<Offer> offers;
    QStringList damaged;
    if (const QString why = m_store.unusable(); !why.isEmpty()) {
        // Never touched, never written into: the teacher hears it once.
        m_disabled = true;
        m_failureReported = true;
        showWarning(tr("The recovery folder %1 is not used: it is %2. Unsaved work is not kept for recovery "
                       "while this is so; save the test to keep it.")
                        .arg(QDir::toNativeSeparators(m_store.root()), why));
        return false;
    }
    RecoveryStore::Abandoned abandoned = m_store.claimAbandoned();
    for (auto &slot : abandoned.ended) {
        if (slot->isEmpty()) {
            slot->remove();
            continue;
        }
        const RecoveryFormat::ReadResult read = slot->read();
        if (!read.copy) {
            const QString moved = m_store.setAside(std::move(slot));
            damaged << tr("%1 (moved to %2)").arg(read.error, moved.isEmpty() ? tr("nowhere: deleted") : QDir::toNativeSeparators(moved));
            continue;
        }
        if (read.copy->work.isEmpty()) {
            slot->remove();
            continue;
        }
        offers.push_back({std::move(slot), *read.copy});
    }
    if (!damaged.isEmpty())
        showWarning(tr("A recovery copy of unsaved work could not be read and will not be offered again:\n\n%1")
                        .arg(damaged.join(QLatin1Char('\n'))));
    if (!abandoned.foreign.isEmpty())
        showWarning(tr("The recovery folder holds things the editor did not put there. They were left as they "
                       "are; remove them if they are not needed:\n\n%1")
                        .arg(abandoned.foreign.join(QLatin1Char('\n'))));
    bool restored = false;
    QStringList stillNamed;   // media paths of the copies that stay
    const auto keepNamed = [&stillNamed](const EditorSnapshot &work) {
        for (const QString &record : work.records)
            stillNamed << QuestionView(record).media();
        stillNamed << work.entry.mcMedia << work.entry.tfMedia;
    };
    for (Offer &offer : offers) {
        if (restored || m_ending) {
            keepNamed(offer.copy.work);
            m_kept.push_back(std::move(offer.slot));   // offered at the next start
            continue;
        }
        MessageRequest request;
        request.text = offerText(offer.copy);
        request.icon = MsgIcon::Question;
        request.buttons = MsgButtons::YesNo;
        request.owner = m_editor;
        const MsgResult answer = Platform::messages().show(request);
        if (m_ending) {
            // Ended while asked: nothing was answered, the copy stays.
            keepNamed(offer.copy.work);
            m_kept.push_back(std::move(offer.slot));
            continue;
        }
        if (answer != MsgResult::Yes) {
            offer.slot->remove();
            continue;
        }
        m_restoring = true;
        m_editor->restoreUnsavedWork(offer.copy.work);
        m_restoring = false;
        m_cleanPending = false;
        m_workFile = offer.copy.work.originalPath;
        m_quiet.stop();
        // Unsaved again: the copy stays until the work is saved.
        m_clean = EditorSnapshot();
        dropCurrentSlot();
        m_slot = std::move(offer.slot);
        m_written = m_editor->unsavedWork();
        m_lastChange = offer.copy.lastChange;
        restored = true;
        keepNamed(offer.copy.work);
        // The imported media it holds are this editor's now.
        HeldMedia &held = m_editor->controller().heldMedia();
        for (const QString &path : std::as_const(stillNamed))
            held.adoptFolderOf(path);
    }
    m_editor->controller().heldMedia().removeUnreferenced(stillNamed);
    return restored;
}
