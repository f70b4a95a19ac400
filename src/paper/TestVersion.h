#pragma once
// A version of a test for the paper class: its questions and the options
// of each multiple-choice question in an order of its own, so that
// neighbours' papers differ. Version 1 is the test as it is; versions 2 to
// 4 are shuffled by a seed made of the test's fingerprint and the version's
// number, so the question paper and the answer sheet of a version, printed
// at different times, agree, and the scan maps every answer back.

#include <QList>
#include <QString>
#include <QStringList>

class TestVersion {
public:
    static constexpr int MostVersions = 4;

    // The test's identity on its sheets: SHA-256 of its title lines and of
    // each question's texts, media and kind, without the right answers, so
    // no combination of right answers can be tried against it; 12 hex digits.
    static QString fingerprint(const QString &title, const QString &teacher, const QStringList &records);

    TestVersion(const QStringList &records, const QString &fingerprint, int version);
    // The version of the test with these texts (its fingerprint made here).
    static TestVersion of(const QString &title, const QString &teacher, const QStringList &records, int version)
    {
        return TestVersion(records, fingerprint(title, teacher, records), version);
    }
    // The title its question paper and answer key carry: "Rivers - Version 2"
    // (version 1 is the test as it is: its own title).
    static QString paperTitle(const QString &title, int version);

    int version() const { return m_version; }
    int questionCount() const { return int(m_questions.size()); }
    // The test's question (0-based) printed at `place`.
    int questionAt(int place) const { return m_questions.value(place, -1); }
    // The test's option (0-based) printed as option `printed` at `place`;
    // true/false questions keep True before False.
    int optionAt(int place, int printed) const;
    // How many bubbles the question at `place` has (4, or 2 for true/false).
    int optionsAt(int place) const { return int(m_options.value(place).size()); }
    // The records in this version's order, each multiple-choice record's
    // answers and right answer moved with its options: the question paper.
    QStringList records() const;

private:
    QStringList m_records;
    int m_version;
    QList<int> m_questions;
    QList<QList<int>> m_options;
};
