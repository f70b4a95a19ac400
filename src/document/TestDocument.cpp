#include "document/TestDocument.h"

#include <utility>

QString TestDocument::captionOf(const QString &record)
{
    return QuestionView(record).question();
}

QString TestDocument::record(int number) const
{
    return contains(number) ? m_records.at(number - 1) : QString();
}

QString TestDocument::caption(int number) const
{
    return contains(number) ? m_captions.at(number - 1) : QString();
}

QString TestDocument::description(int number) const
{
    return contains(number) ? m_descriptions.at(number - 1) : QString();
}

void TestDocument::clearRecords()
{
    m_records.clear();
    m_captions.clear();
    m_descriptions.clear();
}

void TestDocument::setRecords(const QStringList &records)
{
    clearRecords();
    for (const QString &r : records) {
        if (!append(r))
            break;
    }
}

void TestDocument::setCompanion(const TestCompanion &companion)
{
    m_language = companion.language;
    m_shuffle = companion.shuffle;
    for (int n = 1; n <= questionCount(); ++n)
        m_descriptions[n - 1] = companion.description(n);
}

bool TestDocument::append(const QString &record, const QString &description)
{
    return insert(questionCount() + 1, record, description);
}

bool TestDocument::insert(int number, const QString &record, const QString &description)
{
    if (isFull() || number < 1 || number > questionCount() + 1)
        return false;
    m_records.insert(number - 1, record);
    m_captions.insert(number - 1, captionOf(record));
    m_descriptions.insert(number - 1, description);
    return true;
}

QString TestDocument::replace(int number, const QString &record)
{
    if (!contains(number))
        return QString();
    QString old = m_records.at(number - 1);
    m_records[number - 1] = record;
    m_captions[number - 1] = captionOf(record);
    return old;
}

QString TestDocument::replaceDescription(int number, const QString &description)
{
    if (!contains(number))
        return QString();
    return std::exchange(m_descriptions[number - 1], description);
}

QString TestDocument::remove(int number, QString *description)
{
    if (!contains(number))
        return QString();
    m_captions.removeAt(number - 1);
    const QString text = m_descriptions.takeAt(number - 1);
    if (description)
        *description = text;
    return m_records.takeAt(number - 1);
}
