#include "exchange/QuestionExport.h"

#include "exchange/MediaNames.h"

#include "document/CompanionFile.h"
#include "document/MediaAdmission.h"
#include "document/MediaLookup.h"
#include "document/QuestionRecord.h"
#include "platform/CheckedFileStream.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {
// The records with each existing media file copied beside the new file and
// named by its bare name there.
QStringList withMediaBeside(const ExportSource &source, MediaNames &beside, ExchangeReport &report)
{
    QStringList records;
    for (int i = 0; i < source.records.size(); ++i) {
        if (WorkProgress::stopped(source.progress))
            return records;
        QStringList f = QuestionRecord::fields(source.records[i]);
        const int m = QuestionRecord::exactMediaFieldIndex(f);
        const QString file = m >= 0 ? source.mediaPath(f[m]) : QString();
        if (!file.isEmpty()) {
            // Admitted once; the copy and its comparisons read that file.
            QString error;
            const OpenFilePtr admitted = MediaAdmission::admit(file, &error, MediaNames::sanitise(MediaLookup::nameOf(file)));
            const QString copied = admitted ? beside.copy(*admitted, MediaLookup::nameOf(file), &error) : QString();
            if (copied.isEmpty())
                report.skip(ExchangeReport::atQuestion(i + 1),
                            QStringLiteral("its media file %1 could not be copied: %2").arg(f[m], error));
            else
                f[m] = MediaLookup::nameOf(copied);
        } else if (m >= 0 && !QuestionRecord::isNoMedia(f[m]) && !f[m].isEmpty()) {
            report.skip(ExchangeReport::atQuestion(i + 1),
                        QStringLiteral("its media file %1 was not found; the question names it all the same.").arg(f[m]));
        }
        records << QuestionRecord::join(f);
    }
    return records;
}

bool writeFile(const OutputFolderPtr &folder, const QString &name, const WriteResult &written, QString *reason)
{
    CheckedFileStream out(folder, name);
    const bool opened = out.open();
    if (opened && written.ownerOnly)
        out.makeOwnerOnly();
    if (!opened || !out.write(written.bytes) || !out.commit()) {
        *reason = out.errorString();
        return false;
    }
    return true;
}

bool writeToStandardOutput(const QByteArray &bytes, QString *reason)
{
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) || out.write(bytes) != bytes.size()
        || !out.flush()) {
        *reason = out.errorString();
        return false;
    }
    return true;
}

// "3 questions exported to "quiz.gift"."
ExchangeReport withSummary(ExchangeReport report, int carried, const QString &target)
{
    report.addCarried(carried);
    report.setSummary(QStringLiteral("%1 exported to %2.")
                          .arg(carried == 1 ? QStringLiteral("1 question") : QStringLiteral("%1 questions").arg(carried),
                               target));
    return report;
}
}

ExchangeReport exportQuestions(const ExportRequest &request, const QuestionFormatRegistry &registry)
{
    ExchangeReport report;
    const QString name = MediaLookup::nameOf(request.path);
    const QuestionFormat *format = request.format ? request.format
                                                  : registry.forFileName(request.path, QuestionFormat::Write);
    if (!format) {
        report.fail(QStringLiteral("The format of \"%1\" is not known from its name (%2).")
                        .arg(name, registry.knownEndings(QuestionFormat::Write)));
        return report;
    }
    const bool toStandardOutput = request.path == QLatin1String("-");
    ExportSource source = request.source;
    source.progress = request.progress;
    // The folder is opened once for the file and every copy beside it.
    const OutputFolderPtr folder = OutputFolder::open(QFileInfo(request.path).absolutePath());
    // Copies made beside the file go again when the export does not end well.
    MediaNames beside(folder);
    if (format->hasCapabilities(QuestionFormat::MediaBesideFile) && !toStandardOutput)
        source.records = withMediaBeside(source, beside, report);
    if (!toStandardOutput && !WorkProgress::stopped(request.progress)) {
        if (std::optional<ExchangeReport> streamed = format->writeFile(source, request.path)) {
            report.absorb(*streamed);
            if (report.failed())
                return report;
            return withSummary(report, streamed->carried(), QLatin1Char('"') + name + QLatin1Char('"'));
        }
    }
    const WriteResult written = WorkProgress::stopped(request.progress) ? WriteResult() : format->write(source);
    report.absorb(written.report);
    if (WorkProgress::stopped(request.progress)) {
        beside.removeCreated();
        report.failCancelledExport();
        return report;
    }
    if (report.failed()) {
        beside.removeCreated();
        return report;
    }
    // A file of no questions is no export; an existing file stays as it was.
    if (written.report.carried() == 0 && !source.records.isEmpty()) {
        beside.removeCreated();
        report.fail(QStringLiteral("None of the test's questions can be written as %1, so nothing was written.")
                        .arg(format->nameFilter().description));
        return report;
    }

    // A short write (a full disk) must not replace an existing file.
    QString reason;
    if (toStandardOutput ? !writeToStandardOutput(written.bytes, &reason)
                         : !writeFile(folder, QFileInfo(request.path).fileName(), written, &reason)) {
        const QString target = toStandardOutput ? QStringLiteral("Standard output") : QLatin1Char('"') + request.path + QLatin1Char('"');
        report.fail(QStringLiteral("%1 cannot be written: %2").arg(target, reason));
        beside.removeCreated();
        return report;
    }
    if (!toStandardOutput && written.companion) {
        const QString beside = CompanionFile::pathFor(request.path);
        if (!CompanionFile::keepBeside(request.path, *written.companion, &reason))
            report.note(QStringLiteral("The media descriptions could not be written to \"%1\": %2.")
                            .arg(MediaLookup::nameOf(beside), reason));
    }
    return withSummary(report, written.report.carried(),
                       toStandardOutput ? QStringLiteral("standard output") : QLatin1Char('"') + name + QLatin1Char('"'));
}
