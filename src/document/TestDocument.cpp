#include "document/TestDocument.h"

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

void TestDocument::clearRecords()
{
    m_records.clear();
    m_captions.clear();
}

void TestDocument::setRecords(const QStringList &records)
{
    clearRecords();
    for (const QString &r : records) {
        if (!append(r))
            break;
    }
}

bool TestDocument::append(const QString &record)
{
    return insert(questionCount() + 1, record);
}

bool TestDocument::insert(int number, const QString &record)
{
    if (isFull() || number < 1 || number > questionCount() + 1)
        return false;
    m_records.insert(number - 1, record);
    m_captions.insert(number - 1, captionOf(record));
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

QString TestDocument::remove(int number)
{
    if (!contains(number))
        return QString();
    m_captions.removeAt(number - 1);
    return m_records.takeAt(number - 1);
}
