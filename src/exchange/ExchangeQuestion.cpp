#include "exchange/ExchangeQuestion.h"

#include "exchange/ExchangeReport.h"

#include "document/QuestionRecord.h"

std::optional<ExchangeQuestion> ExchangeQuestion::fromRecord(const QString &record, QString *why)
{
    using namespace QuestionRecord;
    const QStringList f = fields(record);
    ExchangeQuestion q;
    switch (kindOf(record)) {
    case QuestionKind::MultipleChoice:
        if (f.size() != MultipleChoiceFields) {
            *why = QStringLiteral("the question is damaged (%1 fields instead of %2)")
                       .arg(f.size()).arg(MultipleChoiceFields);
            return std::nullopt;
        }
        q.kind = QuestionKind::MultipleChoice;
        q.question = f[1];
        q.answers = f.mid(2, 4);
        q.media = f[MultipleChoiceMediaField];
        q.right = numericValue(f[7]);
        if (q.right < 0 || q.right > 3) {
            *why = QStringLiteral("it has no right answer (A to D)");
            return std::nullopt;
        }
        break;
    case QuestionKind::TrueFalse:
        if (f.size() != TrueFalseFields) {
            *why = QStringLiteral("the question is damaged (%1 fields instead of %2)")
                       .arg(f.size()).arg(TrueFalseFields);
            return std::nullopt;
        }
        q.kind = QuestionKind::TrueFalse;
        q.question = f[1];
        q.media = f[TrueFalseMediaField];
        q.right = numericValue(f[3]);
        if (q.right != 0 && q.right != 1) {
            *why = QStringLiteral("it has no right answer (true or false)");
            return std::nullopt;
        }
        break;
    case QuestionKind::Unknown:
        *why = QStringLiteral("it is neither multiple choice nor true/false");
        return std::nullopt;
    }
    if (isNoMedia(q.media))
        q.media.clear();
    return q;
}

QList<ExchangeQuestion> ExchangeQuestion::fromRecords(const QStringList &records, ExchangeReport &report)
{
    QList<ExchangeQuestion> carried;
    for (qsizetype i = 0; i < records.size(); ++i) {
        QString why;
        std::optional<ExchangeQuestion> q = fromRecord(records[i], &why);
        if (!q) {
            report.skip(ExchangeReport::atQuestion(int(i + 1)), why + QStringLiteral("; skipped."));
            continue;
        }
        q->number = int(i + 1);
        carried << *q;
    }
    return carried;
}

QString ExchangeQuestion::storableText(const QString &text, bool *separatorReplaced)
{
    if (!text.contains(QuestionRecord::FieldSeparator))
        return text;
    if (separatorReplaced)
        *separatorReplaced = true;
    return QString(text).replace(QuestionRecord::FieldSeparator, QStringLiteral("(c)"));
}

QString ExchangeQuestion::toRecord(bool *separatorReplaced) const
{
    const auto field = [separatorReplaced](const QString &text) { return storableText(text, separatorReplaced); };
    if (kind == QuestionKind::TrueFalse)
        return QuestionRecord::trueFalse(QStringLiteral("t"), field(question), field(media), right);
    QStringList a = answers;
    while (a.size() < 4)
        a << QString();
    return QuestionRecord::multipleChoice(QStringLiteral("m"), field(question), field(a[0]), field(a[1]),
                                          field(a[2]), field(a[3]), field(media), right);
}
