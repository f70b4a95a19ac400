#pragma once
// Long work (an import, an export) runs on a worker thread, so the window
// keeps drawing and answering; after half a second a progress dialog shows
// how far it has come, and its Cancel button asks the work to stop. The
// call returns when the work has ended, cancelled or not. The work must not
// touch widgets or show messages: it hands its results back to the caller.

#include "platform/WorkProgress.h"

#include <QString>
#include <functional>

class QWidget;

namespace ProgressRunner {
// How long work may run before the dialog appears.
constexpr int ShowAfterMs = 500;

void run(QWidget *owner, const QString &label, const std::function<void(WorkProgress &)> &work);
}
