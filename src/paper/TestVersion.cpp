#include "paper/TestVersion.h"

#include "document/QuestionView.h"

#include <QCryptographicHash>
#include <random>

namespace {
// Fisher-Yates over mt19937's own numbers: the standard fixes mt19937's
// output but not what a library's shuffle or distributions make of it, and
// a version must be the same order on every computer.
void shuffle(QList<int> &items, std::mt19937 &random)
{
    for (qsizetype i = items.size() - 1; i > 0; --i)
        items.swapItemsAt(i, qsizetype(random() % quint32(i + 1)));
}

QList<int> identity(int n)
{
    QList<int> out;
    for (int i = 0; i < n; ++i)
        out << i;
    return out;
}
}

QString TestVersion::fingerprint(const QString &title, const QString &teacher, const QStringList &records)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto add = [&hash](const QString &text) {
        hash.addData(text.toUtf8());
        hash.addData(QByteArrayView("\0", 1));
    };
    add(title);
    add(teacher);
    for (const QString &record : records) {
        const QuestionView q(record);
        add(q.isTrueFalse() ? QStringLiteral("t") : QStringLiteral("m"));
        add(q.question());
        for (const QString &answer : q.answers())
            add(answer);
        add(q.media());
    }
    return QString::fromLatin1(hash.result().toHex().left(12));
}

TestVersion::TestVersion(const QStringList &records, const QString &fingerprint, int version)
    : m_records(records), m_version(version)
{
    const int n = int(records.size());
    m_questions = identity(n);
    std::mt19937 random;
    if (version > 1) {
        const QByteArray seed = QCryptographicHash::hash((fingerprint + QLatin1Char('/') + QString::number(version)).toUtf8(),
                                                         QCryptographicHash::Sha256);
        std::seed_seq sequence(seed.begin(), seed.end());
        random.seed(sequence);
        shuffle(m_questions, random);
    }
    for (int place = 0; place < n; ++place) {
        const QuestionView q(records[m_questions[place]]);
        QList<int> options = identity(q.isTrueFalse() ? 2 : 4);
        if (version > 1 && !q.isTrueFalse())
            shuffle(options, random);
        m_options << options;
    }
}

int TestVersion::optionAt(int place, int printed) const
{
    return m_options.value(place).value(printed, -1);
}

QStringList TestVersion::records() const
{
    QStringList out;
    for (int place = 0; place < questionCount(); ++place) {
        const QString &record = m_records[m_questions[place]];
        QuestionView q(record);
        if (m_version == 1 || !q.isMultipleChoice() || !q.isComplete()) {
            out << record;
            continue;
        }
        const QStringList answers = q.answers();
        const int right = q.rightAnswer();
        for (int printed = 0; printed < 4; ++printed) {
            q.setAnswer(printed, answers.value(optionAt(place, printed)));
            if (optionAt(place, printed) == right)
                q.setRightAnswer(printed);
        }
        out << q.record();
    }
    return out;
}

QString TestVersion::paperTitle(const QString &title, int version)
{
    return version > 1 ? QStringLiteral("%1 - Version %2").arg(title).arg(version) : title;
}
