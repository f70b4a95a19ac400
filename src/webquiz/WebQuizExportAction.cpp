#include "webquiz/WebQuizExportAction.h"

#include "platform/CheckedFile.h"
#include "platform/MessageService.h"
#include "platform/MsgBox.h"
#include "webquiz/WebQuizExporter.h"
#include "dialogs/FileDialogs.h"
#include "dialogs/ProgressRunner.h"
#include "widgets/Controls.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QFileInfo>

namespace WebQuizExportAction {
QAction *addToMenu(QMenu *fileMenu, QAction *after, const std::function<void()> &run)
{
    return insertMenuItem(fileMenu, after, QStringLiteral("Export &Web Quiz..."), QStringLiteral("mnuFileExportWeb"), run);
}

QAction *insertMenuItem(QMenu *fileMenu, QAction *after, const QString &text, const QString &name,
                        const std::function<void()> &run)
{
    QAction *action = Controls::menuEntryAfter(fileMenu, after, name, text);
    if (after) {
        action->setEnabled(after->isEnabled());
        QObject::connect(after, &QAction::changed, action, [action, after] { action->setEnabled(after->isEnabled()); });
    }
    QObject::connect(action, &QAction::triggered, action, run);
    return action;
}

bool run(const ExportSource &test, const QString &testFile)
{
    if (saidEmpty(test.records))
        return false;
    const QString path =
        chooseOutput(QObject::tr("Export Web Quiz"), {QObject::tr("Web Pages (*.html)"), QStringLiteral("*.html")}, testFile);
    return !path.isEmpty() && exportTo(path, test);
}

bool saidEmpty(const QStringList &records)
{
    if (!records.isEmpty())
        return false;
    MsgBox(QObject::tr("There are no questions to export."), MsgIcon::Information);
    return true;
}

QString chooseOutput(const QString &title, const FileFilter &filter, const QString &testFile, const QString &nameTail)
{
    const QString suffix = filter.pattern.mid(2);   // "*.html" -> "html"
    return ShowSaveDialog(nullptr, {filter}, testFile.isEmpty() ? QString() : QFileInfo(testFile).absolutePath(), suffix,
                          (testFile.isEmpty() ? QStringLiteral("quiz") : QFileInfo(testFile).completeBaseName())
                              + nameTail + QLatin1Char('.') + suffix,
                          title);
}

bool exportTo(const QString &path, const ExportSource &test)
{
    const QStringList &records = test.records;
    const QString &testFolder = test.mediaFolder;
    // Asked once, before any media file is read or converted: from the
    // files' sizes, and else from the page made.
    const auto writeAnyway = [](qint64 bytes, const QString &what) {
        return MsgBox(what.arg(WebQuizExporter::sizeText(bytes)) + QLatin1Char(' ') + WebQuizExporter::tooLargeNote()
                          + QStringLiteral("\r\n\r\n") + QObject::tr("Write it anyway?"),
                      MsgIcon::Exclamation, MsgButtons::OkCancel)
               == MsgResult::Ok;
    };
    const qint64 estimate = WebQuizExporter::estimatePageBytes(records, testFolder);
    const bool asked = estimate > WebQuizExporter::kWarnBytes;
    if (asked && !writeAnyway(estimate, QObject::tr("The page will be about %1.")))
        return false;
    WebQuizExport result;
    bool cancelled = false;
    ProgressRunner::run(QApplication::activeWindow(), QObject::tr("Making the web quiz..."), [&](WorkProgress &progress) {
        WebQuizExporter exporter;
        exporter.describeWith(test.companion);
        result = exporter.exportTest(test.title, test.teacher, records, testFolder, &progress);
        cancelled = progress.isCancelled();
    });
    if (cancelled)
        return false;

    if (!asked && result.tooLarge() && !writeAnyway(result.pageBytes(), QObject::tr("The page is %1.")))
        return false;
    QString why;
    bool written = false;
    ProgressRunner::run(QApplication::activeWindow(), QObject::tr("Writing the web quiz..."), [&](WorkProgress &progress) {
        written = result.parts.write(path, &why, &progress);
        cancelled = progress.isCancelled();
    });
    if (cancelled)
        return false;
    if (!written) {
        MsgBox(QObject::tr("The web quiz could not be written to %1: %2").arg(path, why), MsgIcon::Critical);
        return false;
    }
    QStringList lines = {QObject::tr("The web quiz was written to %1.").arg(path), WebQuizExporter::sizeLine(result)};
    if (!result.report.isEmpty())
        lines << QString() << result.report;
    MsgBox(lines.join(QStringLiteral("\r\n")), MsgIcon::Information);
    return true;
}
}
