#include "exchange/AikenFormat.h"

#include "exchange/ExchangeQuestion.h"
#include "exchange/SourceText.h"

#include <QRegularExpression>

namespace {
// One question as it is being read.
struct Pending {
    int firstLine = 0;
    QStringList question;
    QStringList letters;
    QStringList answers;
    QString problem;   // set once the question is known to be broken
    bool isEmpty() const { return question.isEmpty(); }
};

// A text's lines joined by blanks, each line's own blanks and the blank
// lines left out: Aiken's one line may come from a question of paragraphs.
QString joinedLines(const QString &text)
{
    QStringList parts;
    for (const QString &line : SourceText::lines(text))
        if (!line.trimmed().isEmpty())
            parts << line.trimmed();
    return parts.join(QLatin1Char(' '));
}

void finish(ReadResult &r, Pending &p, const QString &answerLetter)
{
    const QString where = ExchangeReport::atLine(p.firstLine);
    const auto skip = [&](const QString &why) { r.report.skip(where, why + QStringLiteral("; skipped.")); };
    if (!p.problem.isEmpty()) {
        skip(p.problem);
    } else if (p.letters != QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")}) {
        skip(QStringLiteral("it has %1 answers; a test's multiple choice has exactly four (A to D)").arg(p.answers.size()));
    } else if (answerLetter.size() != 1 || !p.letters.contains(answerLetter)) {
        skip(QStringLiteral("its ANSWER: line names no answer from A to D"));
    } else {
        ExchangeQuestion q;
        q.question = p.question.join(QStringLiteral("\r\n"));
        q.answers = p.answers;
        q.right = int(p.letters.indexOf(answerLetter));
        r.add(q, p.firstLine);
    }
    p = Pending();
}
}

FileFilter AikenFormat::nameFilter() const
{
    return {QStringLiteral("Aiken text (*.aiken)"), QStringLiteral("*.aiken")};
}

ReadResult AikenFormat::read(const QByteArray &bytes, const QString &fileName) const
{
    // "A) text", "A. text", and as the learning platform's importer also
    // takes them, "A)text", "a.text".
    static const QRegularExpression answerLine(QStringLiteral("^([A-Za-z])[.)][ \\t]*(.*)$"));
    static const QRegularExpression keyLine(QStringLiteral("^ANSWER:[ \\t]*(.*)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    ReadResult r;
    const QString text = SourceText::decode(bytes);
    if (const int bad = SourceText::firstBinaryLine(text)) {
        r.report.fail(QStringLiteral("\"%1\" is not an Aiken text (it holds binary data).").arg(fileName), bad);
        return r;
    }
    const QStringList lines = SourceText::lines(text);
    Pending p;
    int keys = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        const int number = i + 1;
        if (line.isEmpty()) {
            // A blank line inside a question's text is allowed; after its
            // answers it means the ANSWER: line is missing.
            if (!p.answers.isEmpty()) {
                p.problem = QStringLiteral("its answers are not followed by an ANSWER: line");
                finish(r, p, QString());
            }
            continue;
        }
        const QRegularExpressionMatch key = keyLine.match(line);
        if (key.hasMatch()) {
            ++keys;
            if (p.isEmpty()) {
                r.report.skip(ExchangeReport::atLine(number), QStringLiteral("an ANSWER: line without a question; skipped."));
                continue;
            }
            finish(r, p, key.captured(1).trimmed().toUpper());
            continue;
        }
        const QRegularExpressionMatch answer = answerLine.match(line);
        if (answer.hasMatch() && !p.isEmpty()) {
            p.letters << answer.captured(1).toUpper();
            p.answers << answer.captured(2).trimmed();
            continue;
        }
        if (!p.answers.isEmpty()) {
            p.problem = QStringLiteral("line %1 among its answers is not an answer").arg(number);
            continue;
        }
        if (p.isEmpty())
            p.firstLine = number;
        p.question << line;
    }
    if (!p.isEmpty()) {
        if (p.answers.isEmpty() && keys == 0 && r.questions.isEmpty()) {
            r.report.fail(QStringLiteral("\"%1\" holds no Aiken question (a question, its answers A) to D) "
                                         "and a line \"ANSWER: letter\").").arg(fileName), p.firstLine);
            return r;
        }
        p.problem = p.answers.isEmpty() ? QStringLiteral("a text without answers")
                                        : QStringLiteral("its answers are not followed by an ANSWER: line");
        finish(r, p, QString());
    }
    if (keys == 0) {
        r.report.fail(QStringLiteral("\"%1\" holds no Aiken question (a question, its answers A) to D) "
                                     "and a line \"ANSWER: letter\").").arg(fileName), 1);
        r.questions.clear();
    }
    return r;
}

WriteResult AikenFormat::write(const ExportSource &test) const
{
    WriteResult w;
    QString out;
    for (const ExchangeQuestion &q : ExchangeQuestion::fromRecords(test.records, w.report)) {
        const QString where = ExchangeReport::atQuestion(q.number);
        if (!q.isMultipleChoice()) {
            w.report.skip(where, QStringLiteral("a true/false question; Aiken has none, so it was skipped."));
            continue;
        }
        if (!q.media.isEmpty())
            w.report.skip(where, QStringLiteral("its media file %1 stays behind: Aiken carries no media.").arg(q.media));
        // One line each: the learning platform's importer, in its default
        // mode, takes a question's second line for a broken answer and then
        // imports nothing from the whole file.
        const QString question = joinedLines(q.question);
        out += (question.isEmpty() ? QStringLiteral("?") : question) + QLatin1Char('\n');
        for (int k = 0; k < 4; ++k)
            out += QChar(u'A' + k) + QStringLiteral(") ") + joinedLines(q.answers[k]) + QLatin1Char('\n');
        out += QStringLiteral("ANSWER: ") + QChar(u'A' + q.right) + QStringLiteral("\n\n");
        w.report.addCarried();
    }
    w.bytes = out.toUtf8();
    return w;
}
