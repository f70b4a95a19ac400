#include "exchange/ArdFormat.h"

#include "document/QuestionRecord.h"
#include "document/TestFile.h"

FileFilter ArdFormat::nameFilter() const
{
    return {QStringLiteral("Ardeno Tests (*.ard)"), QStringLiteral("*.ard")};
}

ReadResult ArdFormat::read(const QByteArray &bytes, const QString &fileName) const
{
    ReadResult r;
    const TestReadResult loaded = parseTestBytes(bytes, fileName);
    if (!loaded.test) {
        r.report.fail(loaded.error);
        return r;
    }
    r.title = loaded.test->title;
    r.teacher = loaded.test->teacher;
    for (const QString &record : loaded.test->records)
        r.questions << ImportedQuestion{record, QByteArray(), 0};
    return r;
}

WriteResult ArdFormat::write(const ExportSource &test) const
{
    WriteResult w;
    if (test.title.isEmpty() || test.teacher.isEmpty()) {
        w.report.fail(QStringLiteral("Please fill in all fields before attempting to save this test."));
        return w;
    }
    w.report.skipUnstorable(QStringLiteral("Title"), test.title + test.teacher);
    for (int i = 0; i < test.records.size(); ++i)
        w.report.skipUnstorable(ExchangeReport::atQuestion(i + 1), test.records[i]);
    w.bytes = testFileBytes(test.title, test.teacher, test.records);
    w.report.addCarried(int(test.records.size()));
    return w;
}
