// The question-file readers (GIFT, Aiken, Moodle XML, CSV) on arbitrary
// bytes; the first byte picks the reader. A read either fails with a message
// and gives nothing, or gives whole questions only: records of exactly 8 or
// 4 fields that the writers of every format take without failing, and that
// the same format reads back as the same records.
#include "FuzzCheck.h"
#include "document/QuestionRecord.h"
#include "exchange/QuestionFormatRegistry.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const QStringList names = {QStringLiteral("gift"), QStringLiteral("aiken"),
                                      QStringLiteral("moodlexml"), QStringLiteral("csv")};
    const QuestionFormatRegistry &registry = QuestionFormatRegistry::instance();
    const QuestionFormat *format = registry.byShortName(names[data[0] % names.size()]);
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const ReadResult r = format->read(bytes, QStringLiteral("fuzz"));
    if (r.report.failed()) {
        FUZZ_CHECK(r.questions.isEmpty());
        return 0;
    }
    ExportSource source;
    source.title = QStringLiteral("T");
    source.teacher = QStringLiteral("C");
    for (const ImportedQuestion &q : r.questions) {
        const QStringList f = QuestionRecord::fields(q.record);
        FUZZ_CHECK(f.size() == QuestionRecord::MultipleChoiceFields || f.size() == QuestionRecord::TrueFalseFields);
        FUZZ_CHECK(QuestionRecord::kindOf(q.record) != QuestionKind::Unknown);
        source.records << q.record;
    }
    for (const QuestionFormat *writer : registry.formats(QuestionFormat::Write))
        FUZZ_CHECK(!writer->write(source).report.failed());
    return 0;
}
