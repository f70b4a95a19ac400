#include "webquiz/WebQuizFormat.h"

#include "webquiz/WebQuizExporter.h"
#include "exchange/QuestionFormatRegistry.h"

FileFilter WebQuizFormat::nameFilter() const
{
    return {QStringLiteral("Web Quiz (*.html *.htm)"), QStringLiteral("*.html;*.htm")};
}

namespace {
// The report lines of a page: a media file missing or unusable is a question
// that went across without part of it; each conversion and the page's size
// are notes.
ExchangeReport reportOf(const WebQuizExport &page, int questions)
{
    ExchangeReport report;
    for (const QString &line : page.report) {
        if (page.problems.contains(line)) {
            // "Question 3: name: why" -> where "Question 3", why "name: why".
            const qsizetype colon = line.indexOf(QLatin1String(": "));
            report.skip(line.left(colon), line.mid(colon + 2));
        } else {
            report.note(line);
        }
    }
    report.note(WebQuizExporter::sizeLine(page));
    report.addCarried(questions);
    return report;
}
}

WriteResult WebQuizFormat::write(const ExportSource &test) const
{
    WebQuizExporter exporter;
    const WebQuizExport page = exporter.exportTest(test.title, test.teacher, test.records, test.mediaFolder, test.progress);
    WriteResult result;
    result.bytes = page.page();
    result.report = reportOf(page, int(test.records.size()));
    return result;
}

std::optional<ExchangeReport> WebQuizFormat::writeFile(const ExportSource &test, const QString &path) const
{
    WebQuizExporter exporter;
    const WebQuizExport page = exporter.exportTest(test.title, test.teacher, test.records, test.mediaFolder, test.progress);
    ExchangeReport report = reportOf(page, int(test.records.size()));
    if (WorkProgress::stopped(test.progress)) {
        report.fail(QStringLiteral("The export was cancelled; nothing was written."));
        return report;
    }
    QString reason;
    if (!page.parts.write(path, &reason)) {
        report.fail(QStringLiteral("\"%1\" cannot be written: %2").arg(path, reason));
        return report;
    }
    return report;
}

void WebQuizFormat::registerInto(QuestionFormatRegistry &registry)
{
    registry.add(std::make_unique<WebQuizFormat>());
}

void WebQuizFormat::registerFormat()
{
    registerInto(QuestionFormatRegistry::instance());
}
