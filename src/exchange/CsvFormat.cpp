#include "exchange/CsvFormat.h"

#include "document/SpreadsheetText.h"

#include "exchange/ExchangeQuestion.h"
#include "exchange/SourceText.h"
#include "exchange/TextFormat.h"

#include <QRegularExpression>

#include "document/MediaLookup.h"

#include <QHash>
#include <functional>

namespace {
const QStringList kColumns = {QStringLiteral("kind"), QStringLiteral("question"), QStringLiteral("a"),
                              QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                              QStringLiteral("answer"), QStringLiteral("media")};
// Written when a question's media has a description; read when there.
const QString kDescriptionColumn = QStringLiteral("media description");

struct Row {
    QStringList fields;
    int line = 0;
};

// Hands the rows of the text to `take` one at a time, in order, so that a
// file of a million rows is never held as rows, and a bad header row stops
// the reading before the body is read (take returns false to stop). False
// with *errorLine when a quoted field is not closed, or (*tooWide) when a
// row has more than `maxFields` fields: a header of a million columns stops
// at once instead of being held.
bool parseRows(const QString &text, QChar sep, const std::function<bool(const Row &)> &take, int *errorLine,
               int maxFields = CsvFormat::MaxFields, bool *tooWide = nullptr)
{
    bool stopped = false;
    Row row;
    QString field;
    bool quoted = false, fieldStarted = false;
    int line = 1, quoteLine = 0;
    row.line = 1;
    bool wide = false;
    const auto endField = [&]() {
        row.fields << field;
        field.clear();
        fieldStarted = false;
        if (row.fields.size() > maxFields) {
            wide = stopped = true;
            *errorLine = row.line;
        }
    };
    const auto endRow = [&]() {
        endField();
        stopped = !take(row);
        row = Row();
        row.line = line;
    };
    for (qsizetype i = 0; i < text.size() && !stopped; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && !(i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
            quoteLine = line;
        } else if (c == sep) {
            endField();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            ++line;
            endRow();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (tooWide)
        *tooWide = wide;
    if (wide)
        return false;
    if (stopped)
        return true;
    if (quoted) {
        *errorLine = quoteLine;
        return false;
    }
    if (fieldStarted || !row.fields.isEmpty())
        endRow();
    return true;
}

// The separator the header row uses: ',' unless it is ';' or a tab.
QChar separatorOf(const QString &text)
{
    // A view: a header of millions of columns is not copied.
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    const QStringView header = QStringView(text).left(end < 0 ? text.size() : end);
    const QChar candidates[] = {QLatin1Char(','), QLatin1Char(';'), QLatin1Char('\t')};
    QChar best = QLatin1Char(',');
    qsizetype most = 0;
    for (const QChar c : candidates) {
        if (header.count(c) > most) {
            most = header.count(c);
            best = c;
        }
    }
    return best;
}

// A spreadsheet's cell (guarded against formulas, quoted when it must be),
// line breaks written as CR LF.
QString csvField(const QString &text)
{
    return SpreadsheetText::cell(SourceText::withRecordLineBreaks(text));
}
}

// A bank exported from a learning platform writes its texts as HTML, each
// question wrapped in a block of markup (<p>...</p>): such a row is read as
// the platform shows it (tags gone, entities decoded, line breaks kept). A
// question that merely mentions a tag or an entity stays as it is, so the
// CSV this program writes reads back the same.
bool looksLikeHtml(const QString &question)
{
    static const QRegularExpression block(
        QStringLiteral("^<(p|div|span|h[1-6]|ul|ol|table|pre)\\b[^>]*>.*</\\1>$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return block.match(question.trimmed()).hasMatch();
}

// One row after the header: a question, a skipped line, or nothing (a blank row).
void takeQuestionRow(const Row &row, const QHash<QString, int> &column, ReadResult &r)
{
    const auto value = [&](const QString &name) {
        const int i = column.value(name, -1);
        return i >= 0 && i < row.fields.size() ? row.fields[i] : QString();
    };
    bool blank = true;
    for (const QString &f : row.fields)
        blank = blank && f.trimmed().isEmpty();
    if (blank)
        return;
    const QString where = ExchangeReport::atLine(row.line);
    const auto skip = [&](const QString &why) { r.report.skip(where, why + QStringLiteral("; skipped.")); };
    const bool html = looksLikeHtml(value(QStringLiteral("question")));
    // A cell guarded against formulas (by us, or by a spreadsheet) is the
    // teacher's text without its guard.
    const auto text = [&](const QString &name) {
        const QString cell = SpreadsheetText::unguarded(value(name));
        return html ? plainTextOf(cell, TextFormat::Moodle) : cell;
    };
    if (html)
        r.report.note(QStringLiteral("Texts written in HTML (as a learning platform exports them) were read as it "
                                     "shows them: tags left out, entities decoded, line breaks kept."));
    const QString kind = value(QStringLiteral("kind")).trimmed().toLower();
    const QString answer = value(QStringLiteral("answer")).trimmed().toLower();
    ExchangeQuestion q;
    q.question = SourceText::withRecordLineBreaks(text(QStringLiteral("question")).trimmed());
    q.media = SpreadsheetText::unguarded(value(QStringLiteral("media")).trimmed());
    if (q.media.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        q.media.clear();
    q.description = SpreadsheetText::unguarded(value(kDescriptionColumn));
    if (kind == QLatin1String("mc")) {
        if (answer.size() != 1 || answer[0] < QLatin1Char('a') || answer[0] > QLatin1Char('d')) {
            skip(QStringLiteral("the answer of a multiple-choice question must be A, B, C or D, not \"%1\"")
                     .arg(value(QStringLiteral("answer")).trimmed()));
            return;
        }
        q.kind = QuestionKind::MultipleChoice;
        for (const QString &c : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")})
            q.answers << SourceText::lines(text(c)).join(QLatin1Char(' ')).trimmed();
        q.right = answer[0].unicode() - 'a';
    } else if (kind == QLatin1String("tf")) {
        if (answer != QLatin1String("true") && answer != QLatin1String("false")) {
            skip(QStringLiteral("the answer of a true/false question must be true or false, not \"%1\"")
                     .arg(value(QStringLiteral("answer")).trimmed()));
            return;
        }
        q.kind = QuestionKind::TrueFalse;
        q.right = answer == QLatin1String("true") ? 0 : 1;
    } else {
        skip(QStringLiteral("the kind must be mc or tf, not \"%1\"").arg(value(QStringLiteral("kind")).trimmed()));
        return;
    }
    r.add(q, row.line);
}

FileFilter CsvFormat::nameFilter() const
{
    return {QStringLiteral("CSV spreadsheet (*.csv)"), QStringLiteral("*.csv")};
}

bool CsvFormat::forEachRow(const QString &text, const std::function<bool(const QStringList &)> &take, int *errorLine)
{
    return parseRows(text, separatorOf(text), [&take](const Row &row) { return take(row.fields); }, errorLine);
}

ReadResult CsvFormat::read(const QByteArray &bytes, const QString &fileName) const
{
    return readText(SourceText::decode(bytes), fileName);
}

ReadResult CsvFormat::readParts(const OpenFile &file, const QString &fileName) const
{
    return readText(SourceText::decode([&file](qint64 offset, qint64 length) { return file.read(offset, length); }),
                    fileName);
}

ReadResult CsvFormat::readText(const QString &text, const QString &fileName) const
{
    ReadResult r;
    if (const int bad = SourceText::firstBinaryLine(text)) {
        r.report.fail(QStringLiteral("\"%1\" is not a CSV text (it holds binary data).").arg(fileName), bad);
        return r;
    }
    const QString usage = QStringLiteral("the first row of \"%1\" must name the columns %2.")
                              .arg(fileName, kColumns.join(QLatin1Char(',')));
    QHash<QString, int> column;
    bool haveHeader = false;
    const auto takeRow = [&](const Row &row) {
        // A spreadsheet may put "sep=;" first.
        if (!haveHeader && row.fields.size() == 1
            && row.fields.first().startsWith(QLatin1String("sep="), Qt::CaseInsensitive))
            return true;
        if (!haveHeader) {
            haveHeader = true;
            for (int i = 0; i < row.fields.size(); ++i)
                column.insert(row.fields[i].trimmed().toLower(), i);
            for (const QString &needed : {QStringLiteral("kind"), QStringLiteral("question"), QStringLiteral("answer")}) {
                if (!column.contains(needed)) {
                    r.report.fail(usage, row.line);
                    return false;
                }
            }
            return true;
        }
        takeQuestionRow(row, column, r);
        return true;
    };
    int errorLine = 0;
    bool tooWide = false;
    if (!parseRows(text, separatorOf(text), takeRow, &errorLine, MaxFields, &tooWide)) {
        r.report.fail(tooWide ? QStringLiteral("the row has more than %1 fields; a question has %2 columns at most.")
                                    .arg(MaxFields).arg(kColumns.size() + 1)
                              : QStringLiteral("a field that begins with a quotation mark is not closed by one."),
                      errorLine);
        r.questions.clear();
        return r;
    }
    if (!haveHeader)
        r.report.fail(usage, 1);
    if (r.report.failed())
        r.questions.clear();
    return r;
}


WriteResult CsvFormat::write(const ExportSource &test) const
{
    WriteResult w;
    const QList<ExchangeQuestion> questions = ExchangeQuestion::fromRecords(test.records, w.report);
    bool described = false;
    for (const ExchangeQuestion &q : questions)
        described = described || (!q.media.isEmpty() && !test.companion.description(q.number).isEmpty());
    // A byte-order mark, so that spreadsheets take the file as UTF-8.
    QString out = QChar(0xFEFF) + kColumns.join(QLatin1Char(','))
                  + (described ? QLatin1Char(',') + kDescriptionColumn : QString()) + QStringLiteral("\r\n");
    for (const ExchangeQuestion &q : questions) {
        QStringList f;
        f << (q.isMultipleChoice() ? QStringLiteral("mc") : QStringLiteral("tf")) << csvField(q.question);
        for (int k = 0; k < 4; ++k)
            f << (q.isMultipleChoice() ? csvField(q.answers[k]) : QString());
        f << (q.isMultipleChoice() ? QString(QChar(u'A' + q.right))
                                    : q.rightIsTrue() ? QStringLiteral("true") : QStringLiteral("false"));
        f << csvField(MediaLookup::nameOf(q.media));
        if (described)
            f << csvField(q.media.isEmpty() ? QString() : test.companion.description(q.number));
        out += f.join(QLatin1Char(',')) + QStringLiteral("\r\n");
        w.report.addCarried();
    }
    w.bytes = out.toUtf8();
    return w;
}
