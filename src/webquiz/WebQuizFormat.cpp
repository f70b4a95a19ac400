#include "webquiz/WebQuizFormat.h"

#include "webquiz/WebQuizExporter.h"
#include "exchange/QuestionFormatRegistry.h"

FileFilter WebQuizFormat::nameFilter() const
{
    return {QStringLiteral("Web Quiz (*.html *.htm)"), QStringLiteral("*.html;*.htm")};
}

WriteResult WebQuizFormat::write(const ExportSource &test) const
{
    WebQuizExporter exporter;
    const WebQuizExport page = exporter.exportTest(test.title, test.teacher, test.records, test.mediaFolder, test.progress);
    WriteResult result;
    result.bytes = page.page;
    for (const QString &line : page.report) {
        if (page.problems.contains(line)) {
            // "Question 3: name: why" -> where "Question 3", why "name: why".
            const qsizetype colon = line.indexOf(QLatin1String(": "));
            result.report.skip(line.left(colon), line.mid(colon + 2));
        } else {
            result.report.note(line);
        }
    }
    result.report.note(WebQuizExporter::sizeLine(page));
    result.report.addCarried(int(test.records.size()));
    return result;
}

void WebQuizFormat::registerInto(QuestionFormatRegistry &registry)
{
    registry.add(std::make_unique<WebQuizFormat>());
}

void WebQuizFormat::registerFormat()
{
    registerInto(QuestionFormatRegistry::instance());
}
