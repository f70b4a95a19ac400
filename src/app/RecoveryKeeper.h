#pragma once
// Keeps a recovery copy of the editor's unsaved work, so that no way of
// ending the program costs a typed question, while nothing asks at exit.
//
// The copy is written a fixed quiet time after the last change (and at the
// latest LongestWaitMs after the first unwritten one, for someone who types
// without pause), on a worker thread so typing never waits for the disk; and
// synchronously on every way out that runs code: closing the window, quitting,
// the session's logout request, and SIGTERM/SIGHUP/SIGINT. Work that matches
// what was last opened or saved, and an empty editor, keep no copy. New or
// Open over unsaved work keeps the dropped work's copy for the next start.
// At the next start the copies of editors that ended are offered back.

#include "document/RecoveryStore.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

class frmCreate;
class SignalPipe;

class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    // A termination signal came (also while the start-up offer was open):
    // the program is to end without showing its window.
    bool isEnding() const { return m_ending; }
    static constexpr int QuietMs = 2000;
    static constexpr int LongestWaitMs = 10000;

    RecoveryKeeper(frmCreate *editor, const RecoveryStore &store = RecoveryStore());
    ~RecoveryKeeper() override;

    // At start, once the window shows: reports damaged copies (once: they are
    // moved aside), then offers each copy left by an editor that has ended.
    // True when one was restored into the editor.
    bool offerAbandoned();

    // Writes the copy now, in this thread (or removes it when nothing is unsaved).
    void writeNow();

    // The slot folder of the work on screen ("" while it has no copy).
    QString currentSlotFolder() const;

    // The offer of a copy at start: what the teacher will get back.
    static QString offerText(const RecoveryCopy &copy);

public slots:
    void noteChange();
    void testAboutToBeReplaced();
    void testOpened();
    void testSaved();

private:
    enum class Mode { InBackground, Now };
    void update(Mode mode);
    void dropCurrentSlot();
    void reportWriteFailure(const QString &reason);
    void showWarning(const QString &text);
    void endOnSignal();
    void takePendingCleanState();

    frmCreate *m_editor;
    RecoveryStore m_store;
    std::unique_ptr<RecoverySlot> m_slot;                  // the work on screen
    std::vector<std::unique_ptr<RecoverySlot>> m_kept;     // dropped or not restored: offered next start
    EditorSnapshot m_clean;                                // as last opened or saved
    bool m_cleanPending = false;                           // m_clean is to be read once the command ends
    QString m_workFile;                                    // the file the work on screen belongs to
    std::optional<EditorSnapshot> m_written;               // what m_slot holds
    QDateTime m_lastChange;
    QElapsedTimer m_unwrittenSince;
    QTimer m_quiet;
    QThreadPool m_writer;                                  // one thread: writes stay in order
    SignalPipe *m_signals = nullptr;
    bool m_restoring = false;
    bool m_failureReported = false;
    bool m_disabled = false;                               // the recovery folder is not ours to use
    bool m_ending = false;                                 // a termination signal came
};
