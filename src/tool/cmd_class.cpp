// ardeno-tool class LOG... [--folder DIR] [--test TEST.ard] [--csv OUT.csv]
// [--pdf OUT.pdf] [--json] [--latest]: the class results of web-quiz result logs, as the Class Results
// window shows them. Prints a summary (or, with --json, one JSON object) on
// standard output; --csv writes the spreadsheet and --pdf the one-page
// report the window makes. Exit 0, 3 when some files were no results or
// could not be read, 1 when an output cannot be written, 2 on bad
// arguments.

#include "tool/ToolCommand.h"

#include "classresults/ClassExport.h"
#include "classresults/ClassLoader.h"
#include "classresults/ClassTableModel.h"
#include "classresults/ItemAnalysisModel.h"
#include "logview/ClassReportPrintout.h"
#include "platform/CheckedFile.h"
#include "print/PrintSurface.h"

#include <QJsonDocument>
#include <cstdio>

namespace {
void print(const QString &text, FILE *to = stdout)
{
    std::fprintf(to, "%s\n", text.toLocal8Bit().constData());
}

void printSummary(const ClassResults &results, const ClassTableModel &model)
{
    const ClassFigures &f = model.figures();
    print(QStringLiteral("%1: %2 results of %3 questions.").arg(results.testTitle()).arg(f.students).arg(results.questionCount()));
    if (f.students > 0) {
        print(QStringLiteral("Score: mean %1, median %2, highest %3, lowest %4.")
                  .arg(f.score.mean, 0, 'f', 1).arg(f.score.median).arg(f.score.highest).arg(f.score.lowest));
        print(QStringLiteral("Time: mean %1, median %2, longest %3, shortest %4.")
                  .arg(ClassTableModel::clockText(qRound(f.time.mean)), ClassTableModel::clockText(qRound(f.time.median)),
                       ClassTableModel::clockText(f.time.highest), ClassTableModel::clockText(f.time.lowest)));
    }
    print(ItemAnalysisModel::headers().join(QLatin1Char('\t')));
    for (const QuestionFigures &q : f.questions)
        print(ItemAnalysisModel::rowTexts(q).join(QLatin1Char('\t')));
    for (const QString &file : results.notResults())
        print(QStringLiteral("%1: not a web quiz result").arg(file), stderr);
    for (const ResultNotice &n : results.unreadable())
        print(QStringLiteral("%1: %2").arg(n.file, n.reason), stderr);
    for (int i = 0; i < results.results().size(); ++i)
        if (results.isOtherTest(i))
            print(QStringLiteral("%1: a result of another test (%2)").arg(results.results()[i].file, results.results()[i].title),
                  stderr);
}

int classCommand(const QStringList &args)
{
    QStringList paths;
    QString csv, pdf, test;
    bool json = false;
    ClassResults::Filter filter;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--json")) {
            json = true;
        } else if (a == QLatin1String("--latest")) {
            // A student who handed in twice counts by the latest attempt,
            // as View > "Latest Attempt Only" does.
            filter.latestAttemptOnly = true;
        } else if (a == QLatin1String("--folder") || a == QLatin1String("--csv") || a == QLatin1String("--pdf")
                   || a == QLatin1String("--test")) {
            if (i + 1 >= args.size())
                return toolUsageError();
            (a == QLatin1String("--csv")    ? csv
             : a == QLatin1String("--pdf")  ? pdf
             : a == QLatin1String("--test") ? test
                                            : paths.emplace_back()) = args[++i];
        } else if (a.startsWith(QLatin1String("--"))) {
            return toolUsageError();
        } else {
            paths << a;
        }
    }
    if (paths.isEmpty())
        return toolUsageError();

    ClassResults results;
    const QStringList files = ClassLoader::expand(paths);
    for (const ReadFile &file : ClassLoader::readAll(files))
        results.add(file.read, file.path);
    ClassTableModel model;
    model.show(&results, filter);
    // The question texts: from --test, else from the class's test found
    // beside the logs.
    if (!test.isEmpty()) {
        QString reason;
        const ClassTest t = ClassTest::read(test, &reason);
        if (!t.isKnown()) {
            print(reason, stderr);
            return 1;
        }
        if (!results.testId().isEmpty() && t.id != results.testId()) {
            print(QStringLiteral("\"%1\" is not the test these results belong to (%2, not %3).")
                      .arg(test, t.id, results.testId()),
                  stderr);
            return 1;
        }
        model.setTest(t);
    } else {
        model.setTest(ClassTest::find(results.testId(), ClassTest::foldersAround(files)));
    }
    if (json) {
        const QByteArray text = QJsonDocument(ClassExport::json(results, model.figures())).toJson();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    } else {
        printSummary(results, model);
    }
    if (!csv.isEmpty()) {
        QString reason;
        if (!ClassExport::writeCsv(csv, results, model.rows(), model.figures(), &reason)) {
            print(QStringLiteral("\"%1\" cannot be written: %2").arg(csv, reason), stderr);
            return 1;
        }
    }
    if (!pdf.isEmpty()) {
        const auto printer = PrintSurface::toPdf(pdf);
        if (!ClassReportPrintout::print(*printer, results, model)) {
            print(QStringLiteral("\"%1\" cannot be written: %2")
                      .arg(pdf, printer->fileError().isEmpty() ? printer->errorString() : printer->fileError()),
                  stderr);
            return 1;
        }
    }
    return results.notResults().isEmpty() && results.unreadable().isEmpty() ? 0 : 3;
}

ToolCommandRegistration classRegistration(
    {"class", "class LOG... [--folder DIR] [--test TEST.ard] [--csv OUT.csv] [--pdf OUT.pdf] [--json] [--latest]",
     classCommand});
}
