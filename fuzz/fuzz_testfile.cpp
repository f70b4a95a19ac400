// The test-file reader on arbitrary bytes: it either refuses the file with a
// message and leaves the document alone, or yields a test that keeps the
// document's invariants and saves back to a file that reads the same.
#include "FuzzCheck.h"
#include "document/QuestionRecord.h"
#include "document/TestFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const TestReadResult r = parseTestBytes(bytes, QStringLiteral("fuzz.ard"));

    TestDocument doc;
    const QString kept = QStringLiteral("t\u00A9kept\u00A9none\u00A9 0");
    doc.append(kept);
    if (!r.test) {
        FUZZ_CHECK(r.error.contains(QLatin1String("fuzz.ard")));
        FUZZ_CHECK(doc.nextQuestionNumber() == 2 && doc.record(1) == kept);
        return 0;
    }
    const LoadedTest &test = *r.test;
    FUZZ_CHECK(test.records.size() <= TestDocument::MaxQuestions);
    FUZZ_CHECK(!test.title.startsWith(QLatin1Char(' ')) && !test.title.endsWith(QLatin1Char(' ')));
    FUZZ_CHECK(!test.teacher.startsWith(QLatin1Char(' ')) && !test.teacher.endsWith(QLatin1Char(' ')));

    applyLoadedTest(doc, test);
    const int n = doc.questionCount();
    FUZZ_CHECK(n == test.records.size() && doc.nextQuestionNumber() == n + 1);
    for (int i = 1; i <= TestDocument::MaxQuestions; ++i) {
        if (i <= n) {
            FUZZ_CHECK(doc.record(i) == test.records[i - 1]);
            FUZZ_CHECK(doc.caption(i) == QuestionRecord::fields(doc.record(i)).at(1));
        } else {
            FUZZ_CHECK(doc.record(i).isEmpty() && doc.caption(i).isEmpty());
        }
    }

    // What was read saves to bytes that read back the same.
    QStringList records;
    for (int i = 1; i <= n; ++i)
        records << doc.record(i);
    FUZZ_CHECK(unstorableInTestFile(test.title + test.teacher + records.join(QString())).isEmpty());
    const TestReadResult again = parseTestBytes(testFileBytes(test.title, test.teacher, records),
                                                QStringLiteral("again.ard"));
    FUZZ_CHECK(again.test);
    FUZZ_CHECK(again.test->title == test.title && again.test->teacher == test.teacher);
    FUZZ_CHECK(again.test->records == records);
    return 0;
}
