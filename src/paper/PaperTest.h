#pragma once
// The test a paper class is printed from and read back against: its texts,
// the fingerprint its sheets carry, its identity in result logs and the
// order of each of its versions.

#include "paper/TestVersion.h"

#include <QList>
#include <QString>
#include <QStringList>

class PaperTest {
public:
    PaperTest(const QString &title, const QString &teacher, const QStringList &records);

    const QString &title() const { return m_title; }
    const QString &teacher() const { return m_teacher; }
    const QStringList &records() const { return m_records; }
    int questionCount() const { return int(m_records.size()); }
    // What the sheets carry (answer-free) and what the result logs name
    // (the test file's identity, as the web quiz's logs do).
    const QString &fingerprint() const { return m_fingerprint; }
    const QString &identity() const { return m_identity; }
    // The word a result log gives option `option` (0-based) of question
    // `question` (0-based): "A" to "D", "True" or "False"; "-" for none (-1).
    QString optionWord(int question, int option) const;
    QString rightWord(int question) const;
    bool isTrueFalse(int question) const;
    // Version 1 to TestVersion::MostVersions.
    const TestVersion &version(int number) const;

private:
    QString m_title, m_teacher;
    QStringList m_records;
    QString m_fingerprint, m_identity;
    QList<TestVersion> m_versions;
};
