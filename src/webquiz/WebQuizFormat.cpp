#include "webquiz/WebQuizFormat.h"

#include "webquiz/ScormFormat.h"
#include "webquiz/WebQuizExporter.h"
#include "exchange/QuestionFormatRegistry.h"

FileFilter WebQuizFormat::nameFilter() const
{
    return {QStringLiteral("Web Quiz (*.html *.htm)"), QStringLiteral("*.html;*.htm")};
}

WriteResult WebQuizFormat::write(const ExportSource &test) const
{
    WebQuizExporter exporter;
    exporter.identifyAs(test.testIdentity());
    exporter.describeWith(test.companion);
    const WebQuizExport page = exporter.exportTest(test.title, test.teacher, test.records, test.mediaFolder, test.progress);
    WriteResult result;
    result.bytes = page.page();
    result.report = page.exchangeReport(int(test.records.size()));
    result.report.note(WebQuizExporter::sizeLine(page));
    return result;
}

std::optional<ExchangeReport> WebQuizFormat::writeFile(const ExportSource &test, const QString &path) const
{
    WebQuizExporter exporter;
    exporter.identifyAs(test.testIdentity());
    exporter.describeWith(test.companion);
    const WebQuizExport page = exporter.exportTest(test.title, test.teacher, test.records, test.mediaFolder, test.progress);
    ExchangeReport report = page.exchangeReport(int(test.records.size()));
    report.note(WebQuizExporter::sizeLine(page));
    if (WorkProgress::stopped(test.progress)) {
        report.failCancelledExport();
        return report;
    }
    QString reason;
    if (!page.parts.write(path, &reason, test.progress)) {
        if (WorkProgress::stopped(test.progress)) {
            report.failCancelledExport();
            return report;
        }
        report.fail(QStringLiteral("\"%1\" cannot be written: %2").arg(path, reason));
        return report;
    }
    return report;
}

void WebQuizFormat::registerInto(QuestionFormatRegistry &registry)
{
    registry.add(std::make_unique<WebQuizFormat>());
    ScormFormat::registerInto(registry);
}

void WebQuizFormat::registerFormat()
{
    registerInto(QuestionFormatRegistry::instance());
}
