#include "document/QuestionRecord.h"

#include <cmath>

namespace QuestionRecord {
QString withSignPosition(long long n)
{
    return n >= 0 ? QLatin1Char(' ') + QString::number(n) : QString::number(n);
}

int numericValue(const QString &field)
{
    qsizetype i = 0;
    const qsizetype n = field.size();
    while (i < n && (field[i] == QLatin1Char(' ') || field[i] == QLatin1Char('\t')))
        ++i;
    QString number;
    if (i < n && (field[i] == QLatin1Char('-') || field[i] == QLatin1Char('+')))
        number += field[i++];
    while (i < n && field[i].isDigit() && field[i].unicode() < 128)
        number += field[i++];
    if (i < n && field[i] == QLatin1Char('.')) {
        number += field[i++];
        while (i < n && field[i].isDigit() && field[i].unicode() < 128)
            number += field[i++];
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 0;
    const double rounded = std::nearbyint(value);   // default rounding: halves to even
    if (rounded > 2147483647.0) return 2147483647;
    if (rounded < -2147483648.0) return -2147483647 - 1;
    return int(rounded);
}

QString kindField(QChar letter, int editedPosition)
{
    return editedPosition > 0 ? QString(letter) + QLatin1Char(' ') + withSignPosition(editedPosition)
                              : QString(letter);
}

QString multipleChoice(const QString &kind, const QString &question, const QString &answerA,
                       const QString &answerB, const QString &answerC, const QString &answerD,
                       const QString &media, int correctIndex)
{
    return join({kind, question, answerA, answerB, answerC, answerD,
                 media.isEmpty() ? noMedia() : media, withSignPosition(correctIndex)});
}

QString trueFalse(const QString &kind, const QString &question, const QString &media,
                  int answerIndex)
{
    return join({kind, question, media.isEmpty() ? noMedia() : media,
                 withSignPosition(answerIndex)});
}

QStringList fields(const QString &record)
{
    return record.split(FieldSeparator);
}

QString join(const QStringList &fields)
{
    return fields.join(FieldSeparator);
}

QString withoutEdgeBlanks(const QString &record)
{
    qsizetype first = 0;
    qsizetype end = record.size();
    while (first < end && record[first] == QLatin1Char(' '))
        ++first;
    while (end > first && record[end - 1] == QLatin1Char(' '))
        --end;
    return record.mid(first, end - first);
}

QuestionKind kindOf(const QString &r)
{
    if (r.isEmpty())
        return QuestionKind::Unknown;
    const QChar c = r[0].toLower();
    if (c == QLatin1Char('m')) return QuestionKind::MultipleChoice;
    if (c == QLatin1Char('t')) return QuestionKind::TrueFalse;
    return QuestionKind::Unknown;
}

int exactMediaFieldIndex(const QStringList &f)
{
    if (f.size() == MultipleChoiceFields) return MultipleChoiceMediaField;
    if (f.size() == TrueFalseFields) return TrueFalseMediaField;
    return -1;
}

QString noMedia() { return QStringLiteral("none"); }

bool isNoMedia(const QString &reference)
{
    return reference.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0;
}
}
