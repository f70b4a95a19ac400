#include "paper/PaperTest.h"

#include "document/QuestionView.h"
#include "document/TestFile.h"

PaperTest::PaperTest(const QString &title, const QString &teacher, const QStringList &records)
    : m_title(title), m_teacher(teacher), m_records(records),
      m_fingerprint(TestVersion::fingerprint(title, teacher, records)), m_identity(testIdentity(title, teacher, records))
{
    for (int v = 1; v <= TestVersion::MostVersions; ++v)
        m_versions << TestVersion(records, m_fingerprint, v);
}

const TestVersion &PaperTest::version(int number) const
{
    return m_versions[qBound(1, number, TestVersion::MostVersions) - 1];
}

bool PaperTest::isTrueFalse(int question) const
{
    return QuestionView(m_records.value(question)).isTrueFalse();
}

QString PaperTest::optionWord(int question, int option) const
{
    if (option < 0)
        return QStringLiteral("-");
    if (isTrueFalse(question))
        return option == 0 ? QStringLiteral("True") : option == 1 ? QStringLiteral("False") : QStringLiteral("-");
    return option < 4 ? QString(QChar(u'A' + option)) : QStringLiteral("-");
}

QString PaperTest::rightWord(int question) const
{
    const QString word = optionWord(question, QuestionView(m_records.value(question)).rightAnswer());
    return word == QLatin1String("-") ? QStringLiteral("?") : word;
}
