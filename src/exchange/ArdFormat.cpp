#include "exchange/ArdFormat.h"

#include "exchange/ExchangeQuestion.h"

#include "document/CompanionFile.h"
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
        r.questions << ImportedQuestion{record, QByteArray(), 0, QString(), QString()};
    return r;
}

WriteResult ArdFormat::write(const ExportSource &test) const
{
    WriteResult w;
    // The editor's own rule: a blank title or class/teacher line is none.
    if (test.title.trimmed().isEmpty() || test.teacher.trimmed().isEmpty()) {
        w.report.fail(QStringLiteral("Please fill in all fields before attempting to save this test."));
        return w;
    }
    // The title line holds both texts split by the field separator: one in
    // either text would split it again.
    bool replaced = false;
    const QString title = ExchangeQuestion::storableText(test.title, &replaced);
    const QString teacher = ExchangeQuestion::storableText(test.teacher, &replaced);
    if (replaced)
        w.report.note(QStringLiteral("The title or class/teacher line held the field separator \u00A9, written (c)."));
    w.report.skipUnstorable(QStringLiteral("Title"), title + teacher);
    for (int i = 0; i < test.records.size(); ++i)
        w.report.skipUnstorable(ExchangeReport::atQuestion(i + 1), test.records[i]);
    w.bytes = testFileBytes(title, teacher, test.records);
    // The records name their media by the copies beside the new test, so
    // the descriptions are matched to those names.
    w.companion = CompanionFile::bytes(test.companion, test.records);
    w.report.addCarried(int(test.records.size()));
    return w;
}
