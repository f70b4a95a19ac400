#include "app/QuestionExchangeMenu.h"

#include "app/dlgBankChooser.h"

#include "exchange/FormatFilters.h"
#include "exchange/QuestionExport.h"
#include "exchange/QuestionImport.h"

#include "platform/FileDialogService.h"
#include "document/MediaLookup.h"
#include "platform/MsgBox.h"
#include "platform/Platform.h"
#include "dialogs/ProgressRunner.h"
#include "dialogs/dlgReport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {
const QString kImportTitle = QStringLiteral("Import Questions");
const QString kExportTitle = QStringLiteral("Export As");

}

QuestionExchangeMenu::QuestionExchangeMenu(QWidget *window, QMenu *fileMenu, QAction *after, Hooks hooks)
    : QObject(window), m_window(window), m_hooks(std::move(hooks))
{
    mnuFileImport = new QAction(QStringLiteral("&Import Questions..."), window);
    mnuFileImport->setObjectName(QStringLiteral("mnuFileImport"));
    mnuFileExport = new QAction(QStringLiteral("&Export As..."), window);
    mnuFileExport->setObjectName(QStringLiteral("mnuFileExport"));
    const QList<QAction *> actions = fileMenu->actions();
    const qsizetype at = actions.indexOf(after);
    QAction *before = at >= 0 && at + 1 < actions.size() ? actions[at + 1] : nullptr;
    fileMenu->insertAction(before, mnuFileImport);
    fileMenu->insertAction(before, mnuFileExport);

    // Export needs what Save As needs: questions, and no question being edited.
    mnuFileExport->setEnabled(after->isEnabled());
    connect(after, &QAction::changed, mnuFileExport, [this, after] { mnuFileExport->setEnabled(after->isEnabled()); });
    connect(mnuFileImport, &QAction::triggered, this, &QuestionExchangeMenu::mnuFileImport_Click);
    connect(mnuFileExport, &QAction::triggered, this, &QuestionExchangeMenu::mnuFileExport_Click);
}

QuestionExchangeMenu::~QuestionExchangeMenu() = default;

void QuestionExchangeMenu::setImportEnabled(bool on) { mnuFileImport->setEnabled(on); }

void QuestionExchangeMenu::mnuFileImport_Click()
{
    const FormatFilters filters(QuestionFormat::Read, QStringLiteral("Question files"));
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = QStringLiteral("Import Questions...");
    request.filters = filters.filters();
    request.initialDir = QDir::currentPath();
    request.fileMustExist = true;
    const FileDialogResult chosen = Platform::fileDialogs().choose(request);
    if (!chosen.accepted || chosen.files.isEmpty())
        return;

    ImportRequest import;
    import.path = chosen.files.first();
    import.format = filters.formatFor(chosen.filterIndex, import.path);
    import.room = std::max(0, 100 - m_hooks.questionCount());
    QString error;
    import.mediaFolder = m_hooks.heldMediaFolder(&error);
    if (import.mediaFolder.isEmpty()) {
        MsgBox(QStringLiteral("Imported media files have no place to wait until the test is saved (%1).").arg(error),
               MsgIcon::Critical, MsgButtons::Ok, kImportTitle);
        return;
    }
    import.fullMediaPaths = true;
    const QString current = m_hooks.currentFile();
    if (!current.isEmpty())
        import.avoidNamesIn = QFileInfo(current).absolutePath();
    // A bank larger than the room the test has: the teacher chooses.
    if (import.room > 0) {
        BankListing bank;
        ProgressRunner::run(m_window, tr("Reading %1...").arg(MediaLookup::nameOf(import.path)), [&](WorkProgress &progress) {
            import.progress = &progress;
            bank = listBank(import);
        });
        import.progress = nullptr;
        if (bank.cancelled)
            return;
        if (bank.entries.size() > import.room) {
            const std::optional<QList<int>> picked =
                dlgBankChooser::choose(bank.entries, import.room, MediaLookup::nameOf(import.path), m_window);
            if (!picked)
                return;
            import.pick = *picked;
            import.source = bank.source;
        }
    }
    ImportOutcome outcome;
    ProgressRunner::run(m_window, tr("Importing questions from %1...").arg(MediaLookup::nameOf(import.path)),
                        [&](WorkProgress &progress) {
                            import.progress = &progress;
                            outcome = importQuestions(import);
                        });
    if (outcome.cancelled)
        return;   // the user stopped it: nothing changed, nothing to say
    if (!outcome.records.isEmpty())
        m_hooks.append(outcome.records, outcome.descriptions);
    dlgReport::showExchangeReport(m_window, kImportTitle, outcome.report);
}

void QuestionExchangeMenu::mnuFileExport_Click()
{
    // Bare media names resolve against the working directory, which the
    // dialog is about to move: they are looked up first.
    const ExportSource source = m_hooks.test().withResolvedMedia();
    const FormatFilters filters(QuestionFormat::Write);
    int firstForeign = 1;
    for (int i = 1; filters.formatAt(i); ++i) {
        if (filters.formatAt(i)->shortName() != QLatin1String("ard")) {
            firstForeign = i;
            break;
        }
    }
    const QuestionFormat *proposed = filters.formatAt(firstForeign);
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = QStringLiteral("Export As...");
    request.filters = filters.filters();
    request.filterIndex = firstForeign;
    request.initialDir = QDir::currentPath();
    const QString current = m_hooks.currentFile();
    const QString base = current.isEmpty() ? QStringLiteral("untitled") : QFileInfo(current).completeBaseName();
    request.fileName = base + QLatin1Char('.') + (proposed ? proposed->defaultSuffix() : QString());
    request.overwritePrompt = true;
    const FileDialogResult chosen = Platform::fileDialogs().choose(request);
    if (!chosen.accepted || chosen.files.isEmpty())
        return;

    ExportRequest out;
    out.path = chosen.files.first();
    out.format = filters.formatFor(chosen.filterIndex, out.path);
    if (!out.format)
        return;
    // A name typed without the format's suffix gets it.
    if (!out.format->supportsFile(out.path)) {
        out.path += QLatin1Char('.') + out.format->defaultSuffix();
        if (QFileInfo::exists(out.path)
            && MsgBox(QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(MediaLookup::nameOf(out.path)),
                      MsgIcon::Exclamation, MsgButtons::YesNo, kExportTitle) != MsgResult::Yes)
            return;
    }
    if (m_hooks.exportAsPage && m_hooks.exportAsPage(out.path, source, *out.format))
        return;
    out.source = source;
    ExchangeReport report;
    bool cancelled = false;
    ProgressRunner::run(m_window, tr("Exporting to %1...").arg(MediaLookup::nameOf(out.path)),
                        [&](WorkProgress &progress) {
                            out.progress = &progress;
                            report = exportQuestions(out);
                            cancelled = progress.isCancelled();
                        });
    if (!cancelled)
        dlgReport::showExchangeReport(m_window, kExportTitle, report);
}
