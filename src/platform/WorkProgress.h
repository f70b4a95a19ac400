#pragma once
// How far a long piece of work (an import, an export) has come, and whether
// the user asked to stop it. The work runs on a worker thread and writes
// here; the window reads it to move its progress bar, and its Cancel button
// asks the work to stop at its next step. Work stopped this way leaves the
// document and every file as they were.

#include <QtGlobal>
#include <atomic>

class WorkProgress {
public:
    // `total` steps of work lie ahead; `done` of them are finished.
    void setTotal(qint64 total) { m_total.store(total); }
    void setDone(qint64 done) { m_done.store(done); }
    void advance(qint64 steps = 1) { m_done.fetch_add(steps); }
    qint64 total() const { return m_total.load(); }
    qint64 done() const { return m_done.load(); }

    void cancel() { m_cancelled.store(true); }
    bool isCancelled() const { return m_cancelled.load(); }

    // True when `progress` is given and was cancelled: what the work asks
    // between two steps.
    static bool stopped(const WorkProgress *progress) { return progress && progress->isCancelled(); }

private:
    std::atomic<qint64> m_total{0};
    std::atomic<qint64> m_done{0};
    std::atomic<bool> m_cancelled{false};
};
