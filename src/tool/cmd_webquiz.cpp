// ardeno-tool export IN.ard OUT.html --format web: the test as one
// self-contained web page (see src/webquiz/), with the report of its media
// conversions on standard error.

#include "ToolCommand.h"

#include "TestFile.h"
#include "WebQuizExportAction.h"
#include "WebQuizExporter.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {
int runExport(const QStringList &argsIn)
{
    QStringList args = argsIn;
    QString format;
    const qsizetype at = args.indexOf(QStringLiteral("--format"));
    if (at >= 0) {
        if (at + 1 >= args.size())
            return toolUsageError();
        format = args.at(at + 1);
        args.remove(at, 2);
    }
    if (args.size() != 2)
        return toolUsageError();
    const QString outPath = QFileInfo(args[1]).absoluteFilePath();
    if (format.isEmpty() && (outPath.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)
                             || outPath.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive)))
        format = QStringLiteral("web");
    if (format != QLatin1String("web")) {
        std::fprintf(stderr, "unknown export format \"%s\" (known: web)\n", qPrintable(format));
        return 2;
    }
    const QString testPath = QFileInfo(args[0]).absoluteFilePath();
    const TestReadResult read = readTestFile(testPath);
    if (!read.test) {
        std::fprintf(stderr, "%s\n", qPrintable(read.error));
        return 1;
    }
    // Bare media names resolve beside the test, as in the editor after
    // opening it from its folder.
    const QString folder = QFileInfo(testPath).absolutePath() + QLatin1Char('/');
    QDir::setCurrent(folder);
    WebQuizExporter exporter;
    const WebQuizExport result =
        exporter.exportTest(read.test->title, read.test->teacher, read.test->records, folder);
    for (const QString &line : result.report)
        std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fprintf(stderr, "%s\n", qPrintable(WebQuizExporter::sizeLine(result)));
    QString why;
    if (!WebQuizExportAction::writePage(outPath, result.page, &why)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(outPath), qPrintable(why));
        return 1;
    }
    std::printf("%s\n", qPrintable(outPath));
    return 0;
}
}

static ToolCommandRegistration exportCommand(
    {"export", "export FILE.ard OUT.html [--format web]", runExport});
