// ardeno-tool sheets TEST.ard OUT.pdf [--class NAMES.csv | --count N]
// [--versions N] [--paper a4|letter]: answer sheets for a class.
// ardeno-tool scan TEST.ard SCAN... --results DIR [--json]: the filled
// sheets read back into result logs.

#include "tool/ToolCommand.h"

#include "document/TestFile.h"
#include "exchange/ClassList.h"
#include "paper/AnswerSheetPrintout.h"
#include "paper/ScanRun.h"
#include "paper/SheetScanner.h"
#include "platform/ModuleLoader.h"
#include "platform/PrivateFolder.h"
#include "platform/RegularFile.h"
#include "print/PrintSurface.h"

#include <QFileInfo>
#include <cstdio>

namespace {
void say(const QString &text, FILE *to = stdout)
{
    std::fprintf(to, "%s\n", text.toLocal8Bit().constData());
    std::fflush(to);
}

int sheetsCommand(const QStringList &args)
{
    QStringList files;
    QString classList, paper = QStringLiteral("a4");
    int count = 0, versions = 1;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == QLatin1String("--class") && hasValue)
            classList = args[++i];
        else if (a == QLatin1String("--count") && hasValue)
            count = args[++i].toInt(&ok);
        else if (a == QLatin1String("--versions") && hasValue)
            versions = args[++i].toInt(&ok);
        else if (a == QLatin1String("--paper") && hasValue)
            paper = args[++i];
        else if (a.startsWith(QLatin1String("--")))
            return toolUsageError();
        else
            files << a;
        if (!ok)
            return toolUsageError();
    }
    AnswerSheetRun run;
    if (files.size() != 2 || classList.isEmpty() == (count == 0) || !SheetLayout::paperFromName(paper, &run.paper))
        return toolUsageError();
    const TestReadResult read = readTestFile(files[0]);
    if (!read.test) {
        say(read.error, stderr);
        return 1;
    }
    run.title = read.test->title;
    run.teacher = read.test->teacher;
    run.records = read.test->records;
    run.versions = versions;
    run.count = count;
    if (!classList.isEmpty()) {
        QString reason;
        run.names = ClassList::names(RegularFile::read(classList, 4 << 20, &reason), &reason);
        if (run.names.isEmpty()) {
            say(QStringLiteral("%1 is not a class list: %2.").arg(classList, reason), stderr);
            return 1;
        }
    }
    if (const QString problem = run.problem(); !problem.isEmpty()) {
        say(problem, stderr);
        return 1;
    }
    const QString pdf = QFileInfo(files[1]).absoluteFilePath();
    const auto surface = PrintSurface::toPdf(pdf);
    if (!AnswerSheetPrintout::print(*surface, run)) {
        say(surface->fileError().isEmpty() ? surface->errorString() : surface->fileError(), stderr);
        return 1;
    }
    say(QStringLiteral("%1 answer sheets in %2").arg(run.sheetCount()).arg(pdf));
    return 0;
}

int scanCommand(const QStringList &args)
{
    QStringList files;
    QString results;
    bool json = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--results") && i + 1 < args.size())
            results = args[++i];
        else if (a == QLatin1String("--json"))
            json = true;
        else if (a.startsWith(QLatin1String("--")))
            return toolUsageError();
        else
            files << a;
    }
    if (files.size() < 2 || results.isEmpty())
        return toolUsageError();
    const TestReadResult read = readTestFile(files.takeFirst());
    if (!read.test) {
        say(read.error, stderr);
        return 1;
    }
    QString why;
    const auto scanner = ModuleLoader::create<SheetScanner>(QStringLiteral(ARDENO_SHEETSCAN_MODULE),
                                                            ARDENO_SHEETSCAN_FACTORY, kSheetScannerInterfaceVersion, &why);
    if (!scanner) {
        say(QStringLiteral("Scans cannot be read: %1").arg(why), stderr);
        return 1;
    }
    const OutputFolderPtr folder = PrivateFolder::open(results, &why);
    if (!folder) {
        say(QStringLiteral("%1 cannot hold results: %2").arg(results, why), stderr);
        return 1;
    }
    QList<OpenFilePtr> inputs;
    QStringList refused;
    for (const QString &file : std::as_const(files)) {
        QString reason;
        if (const OpenFilePtr input = OpenFile::open(file, &reason))
            inputs << input;
        else
            refused << QStringLiteral("%1: %2").arg(file, reason);
    }
    const PaperTest test(read.test->title, read.test->teacher, read.test->records);
    ScanRun run(test, *scanner, folder);
    ScanOutcome outcome = run.run(inputs);
    outcome.notRead = refused + outcome.notRead;
    if (json) {
        std::fwrite(ScanRun::json(outcome).constData(), 1, size_t(ScanRun::json(outcome).size()), stdout);
    } else {
        for (const ScannedSheet &s : std::as_const(outcome.sheets))
            say(QStringLiteral("%1: %2 -> %3").arg(s.source, s.student, s.logFile));
        for (const ScannedSheet &s : std::as_const(outcome.sheets))
            for (const ScanDoubt &d : s.doubts)
                say(QStringLiteral("Doubtful: %1, question %2: %3 (left unanswered)").arg(s.student).arg(d.question).arg(d.reason));
    }
    for (const QString &n : std::as_const(outcome.notRead))
        say(QStringLiteral("Not read: %1.").arg(n), stderr);
    if (!outcome.failure.isEmpty()) {
        say(outcome.failure, stderr);
        return 1;
    }
    say(QStringLiteral("%1 sheets read into %2; %3 doubtful marks left to the teacher.")
            .arg(outcome.sheets.size())
            .arg(results)
            .arg(outcome.doubtCount()),
        stderr);
    return outcome.notRead.isEmpty() ? 0 : 3;
}
}

static ToolCommandRegistration scan({"scan", "scan TEST.ard SCAN... --results DIR [--json]", scanCommand});
static ToolCommandRegistration sheets(
    {"sheets", "sheets TEST.ard OUT.pdf (--class NAMES.csv | --count N) [--versions N] [--paper a4|letter]",
     sheetsCommand});
