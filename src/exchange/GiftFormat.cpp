#include "exchange/GiftFormat.h"

#include <QRegularExpression>

#include "exchange/ExchangeQuestion.h"
#include "exchange/HtmlText.h"
#include "exchange/SourceText.h"
#include "exchange/TextFormat.h"
#include "document/Windows1252.h"

#include <QStringDecoder>
#include <QUtf8StringView>
#include <functional>

#include <optional>

namespace {
const QString kSpecials = QStringLiteral("~=#{}:");

// One question's lines joined by '\n' (comment lines left out), and where
// in the file they are. A block's text is made once, in place, from the
// file's bytes: a question of a hundred megabytes is never copied again.
struct Block {
    QString text;
    int firstLine = 0;
    // Where comment lines were left out: (offset in text, lines left out).
    QList<QPair<qsizetype, int>> leftOut;

    int lineAt(qsizetype offset) const
    {
        int line = firstLine + int(QStringView(text).left(offset).count(QLatin1Char('\n')));
        for (const auto &[at, lines] : leftOut)
            if (at <= offset)
                line += lines;
        return line;
    }
};

// The longest text (a question, its answers) that is made plain; a longer
// one is cut here, said, and then cut again to what a test holds (a few
// hundred characters). Only a file built to hurt has one, and making it
// plain costs several times its size: kept small beside the block.
constexpr qsizetype kLongestText = 1 << 16;

// Index of the first unescaped c at or after from, or -1.
qsizetype findUnescaped(QStringView s, QChar c, qsizetype from = 0)
{
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (s[i] == c)
            return i;
    }
    return -1;
}

qsizetype findUnescaped(QStringView s, QLatin1String what, qsizetype from = 0)
{
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (s.mid(i).startsWith(what))
            return i;
    }
    return -1;
}

// Escapes resolved; a line break in the file is a blank (GIFT texts run
// over several lines), "\n" is a line break.
QString unescape(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == QLatin1Char('\\') && i + 1 < s.size()) {
            const QChar next = s[i + 1];
            if (next == QLatin1Char('n'))
                out += QStringLiteral("\r\n");
            else if (kSpecials.contains(next) || next == QLatin1Char('\\'))
                out += next;
            else
                out += QString(c) + next;
            ++i;
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1Char(' ');
        } else {
            out += c;
        }
    }
    return out;
}

// A text as the learning platform shows it: escapes resolved, the file's
// line ends as blanks (a GIFT text runs over several lines), then the one
// rule of its format.
QString plainText(const QString &raw, TextFormat format)
{
    return plainTextOf(unescape(raw.trimmed()), format);
}

// A format marker ("[html]") at the start of a text: the format it names,
// the marker taken off the text.
TextFormat takeFormatMarker(QString &text, TextFormat fallback)
{
    const QString trimmed = text.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return fallback;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return fallback;
    const QStringView name = QStringView(trimmed).mid(1, close - 1);
    const std::optional<TextFormat> format = textFormatNamed(name);
    if (!format || name.contains(QLatin1Char('_')))   // "[plain_text]" is no GIFT marker
        return fallback;
    text = trimmed.mid(close + 1);
    return *format;
}

const QString kPlainMarker = QStringLiteral("[plain]");

// Whether a text written in GIFT needs the [plain] marker to be read back as
// it is: one that the default format would change (tags, entities, runs of
// blanks), and one whose start would read as something else: a format
// marker ("["), a comment ("//"), a category ("$"), or in an answer a
// weight ("%50%"). gift-pegjs refuses a weight that is not a number, and the
// platform would take one that is.
bool needsPlainMarker(const QString &text, TextFormat readAs, bool answer)
{
    const QString t = SourceText::withRecordLineBreaks(text);
    if (t.isEmpty() || t.startsWith(QLatin1Char('[')) || t.startsWith(QLatin1String("//"))
        || t.startsWith(QLatin1Char('$')) || (answer && t.startsWith(QLatin1Char('%'))))
        return true;
    return plainTextOf(t, readAs) != t;
}


struct Answer {
    bool right = false;
    std::optional<double> weight;
    QString text;
    TextFormat format = TextFormat::Moodle;
    bool feedback = false;
};

class GiftReader {
public:
    GiftReader(ReadResult &result) : r(result) {}

    // false when the file cannot be read at all (r.report says why).
    // The block's text from `from` on (after a category line).
    bool readBlock(const Block &b, qsizetype from = 0);
    int questionsSeen = 0;

private:
    bool skip(int line, const QString &why)
    {
        r.report.skip(ExchangeReport::atLine(line), why + QStringLiteral("; skipped."));
        return true;
    }
    // A text of the block as a string of its own, cut at kLongestText.
    QString bounded(QStringView text, int line, const QString &what)
    {
        text = text.trimmed();
        if (text.size() <= kLongestText)
            return text.toString();
        r.report.note(QStringLiteral("Line %1: %2 is longer than %L3 characters; only those were read.")
                          .arg(line).arg(what).arg(kLongestText));
        return text.left(kLongestText).toString();
    }
    ReadResult &r;
};

bool GiftReader::readBlock(const Block &b, qsizetype from)
{
    // Category lines stand on their own or before a question: read in a
    // loop, so a block of a million of them costs no stack.
    static const QRegularExpression platformPrefix(QStringLiteral("^\\$[a-z]+\\$/"));
    for (;;) {
        const QStringView rest = QStringView(b.text).mid(from);
        if (!rest.trimmed().startsWith(QLatin1String("$CATEGORY:"), Qt::CaseInsensitive))
            break;
        r.report.note(QStringLiteral("Question categories were left out: a test has none."));
        const qsizetype nl = rest.indexOf(QLatin1Char('\n'));
        r.category = rest.left(nl < 0 ? rest.size() : nl).trimmed().mid(10).trimmed().toString().remove(platformPrefix);
        if (nl < 0)
            return true;
        from += nl + 1;
    }
    const QStringView s = QStringView(b.text).mid(from);
    const int firstLine = b.lineAt(from);

    const qsizetype open = findUnescaped(s, QLatin1Char('{'));
    if (open < 0)
        return skip(firstLine, QStringLiteral("a text without answers in braces (a description), not a question"));
    const qsizetype close = findUnescaped(s, QLatin1Char('}'), open + 1);
    if (close < 0) {
        r.report.fail(QStringLiteral("the answers opened with \"{\" are not closed with \"}\"."), b.lineAt(from + open));
        return false;
    }
    ++questionsSeen;

    QString prefix = bounded(s.left(open), firstLine, QStringLiteral("its question"));
    const QString inside = bounded(s.mid(open + 1, close - open - 1), firstLine, QStringLiteral("its answers"));
    const QString suffix = bounded(s.mid(close + 1), firstLine, QStringLiteral("the text after its answers"));

    if (prefix.startsWith(QLatin1String("::"))) {
        const qsizetype end = findUnescaped(prefix, QLatin1String("::"), 2);
        if (end >= 0) {
            if (!prefix.mid(2, end - 2).trimmed().isEmpty())
                r.report.note(QStringLiteral("Question names and titles were left out: a test has none."));
            prefix = prefix.mid(end + 2).trimmed();
        }
    }
    const TextFormat format = takeFormatMarker(prefix, TextFormat::Moodle);
    ExchangeQuestion q;
    q.question = plainText(prefix, format);
    // Text after the braces makes a missing-word question: the braces stand for the blank.
    if (!suffix.isEmpty())
        q.question = (q.question + QStringLiteral(" _____ ") + plainText(suffix, format)).trimmed();

    // The answers, without the general feedback that may end them.
    QString answers = inside;
    const qsizetype general = findUnescaped(answers, QLatin1String("####"));
    if (general >= 0) {
        r.report.note(QStringLiteral("Feedback was left out: a test shows none."));
        answers = answers.left(general).trimmed();
    }
    if (answers.isEmpty())
        return skip(firstLine, QStringLiteral("an essay question cannot be carried"));
    if (answers.startsWith(QLatin1Char('#')))
        return skip(firstLine, QStringLiteral("a numerical question cannot be carried"));

    // True/false: T, F, TRUE or FALSE, perhaps with feedback after '#'.
    const qsizetype hash = findUnescaped(answers, QLatin1Char('#'));
    const QString head = (hash < 0 ? answers : answers.left(hash)).trimmed().toUpper();
    if (head == QLatin1String("T") || head == QLatin1String("TRUE") || head == QLatin1String("F")
        || head == QLatin1String("FALSE")) {
        if (hash >= 0)
            r.report.note(QStringLiteral("Feedback was left out: a test shows none."));
        q.kind = QuestionKind::TrueFalse;
        q.right = head.startsWith(QLatin1Char('T')) ? 0 : 1;
        r.add(q, firstLine);
        return true;
    }

    // Choices: each begins with an unescaped '=' or '~'.
    QList<Answer> list;
    qsizetype i = 0;
    while (i < answers.size() && answers[i].isSpace())
        ++i;
    if (i < answers.size() && answers[i] != QLatin1Char('=') && answers[i] != QLatin1Char('~'))
        return skip(firstLine, QStringLiteral("its answers cannot be read (each must begin with = or ~)"));
    while (i < answers.size()) {
        Answer a;
        a.right = answers[i] == QLatin1Char('=');
        qsizetype next = i + 1;
        for (; next < answers.size(); ++next) {
            if (answers[next] == QLatin1Char('\\')) {
                ++next;
                continue;
            }
            if (answers[next] == QLatin1Char('=') || answers[next] == QLatin1Char('~'))
                break;
        }
        QString body = answers.mid(i + 1, next - i - 1).trimmed();
        if (body.startsWith(QLatin1Char('%'))) {
            const qsizetype end = body.indexOf(QLatin1Char('%'), 1);
            if (end > 0) {
                bool ok = false;
                const double w = body.mid(1, end - 1).toDouble(&ok);
                if (ok)
                    a.weight = w;
                body = body.mid(end + 1);
            }
        }
        const qsizetype fb = findUnescaped(body, QLatin1Char('#'));
        if (fb >= 0) {
            a.feedback = true;
            body = body.left(fb);
        }
        // An answer may name its own format; it has the question's otherwise.
        a.format = takeFormatMarker(body, format);
        a.text = body;
        // The learning platform's importer drops empty answers: "~=Paris"
        // is the right answer Paris, not an empty wrong one before it.
        if (!plainText(a.text, a.format).isEmpty())
            list << a;
        i = next;
    }
    bool anyWrong = false, matching = false, partial = false, feedback = false;
    int rightCount = 0;
    for (const Answer &a : list) {
        anyWrong = anyWrong || !a.right;
        matching = matching || findUnescaped(a.text, QLatin1String("->")) >= 0;
        feedback = feedback || a.feedback;
        const bool right = a.weight ? *a.weight == 100.0 : a.right;
        if (a.weight && *a.weight != 100.0 && *a.weight != 0.0)
            partial = true;
        rightCount += right ? 1 : 0;
    }
    if (matching && !anyWrong)
        return skip(firstLine, QStringLiteral("a matching question cannot be carried"));
    if (!anyWrong)
        return skip(firstLine, QStringLiteral("a short-answer question cannot be carried"));
    if (partial)
        return skip(firstLine, QStringLiteral("it gives partial credit, which a test cannot"));
    if (list.size() != 4)
        return skip(firstLine, QStringLiteral("it has %1 answers; a test's multiple choice has exactly four").arg(list.size()));
    if (rightCount != 1)
        return skip(firstLine, rightCount == 0 ? QStringLiteral("it has no right answer")
                                       : QStringLiteral("it has %1 right answers; a test's has one").arg(rightCount));
    if (feedback)
        r.report.note(QStringLiteral("Feedback was left out: a test shows none."));
    q.kind = QuestionKind::MultipleChoice;
    for (int k = 0; k < 4; ++k) {
        q.answers << SourceText::oneLine(plainText(list[k].text, list[k].format));
        const bool right = list[k].weight ? *list[k].weight == 100.0 : list[k].right;
        if (right)
            q.right = k;
    }
    r.add(q, firstLine);
    return true;
}
}

FileFilter GiftFormat::nameFilter() const
{
    return {QStringLiteral("GIFT text (*.gift *.txt)"), QStringLiteral("*.gift;*.txt")};
}

QString GiftFormat::escaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\') || kSpecials.contains(c)) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("\\n");
        } else {
            out += c;
        }
    }
    return out;
}

namespace {
// The file's lines made into blocks as they are read: each line decoded
// as it comes, comment lines left out (their places kept for the line
// numbers), line ends made '\n'. Only the block being read is held, never
// the file: a one-question file of a hundred megabytes costs its text.
class BlockReader {
public:
    BlockReader(bool utf8, GiftReader &reader) : m_utf8(utf8), m_reader(reader) {}

    // A piece of the current line (no line end in it).
    void add(QByteArrayView piece)
    {
        if (m_kind == Undecided) {
            m_head.append(piece);
            // A long line is told by its start alone, as SourceText does.
            if (m_head.size() > kTold && SourceText::kindOf(m_head, m_utf8) != SourceText::LineKind::Blank)
                decide(SourceText::kindOf(m_head, m_utf8));
            return;
        }
        if (m_kind == Text)
            append(piece);
    }
    // The end of the current line. False when a block failed the read.
    bool endLine()
    {
        if (m_kind == Undecided)
            decide(SourceText::kindOf(m_head, m_utf8));
        bool ok = true;
        if (m_kind == Blank) {
            ok = flush();
        } else if (m_kind == Comment) {
            if (m_inBlock)
                m_block.leftOut.append({m_block.text.size(), 1});
        } else {
            m_block.text += QLatin1Char('\n');
        }
        m_kind = Undecided;
        m_decoder.resetState();
        ++m_line;
        return ok;
    }
    bool flush()
    {
        if (!m_inBlock)
            return true;
        m_inBlock = false;
        QString &t = m_block.text;
        while (t.endsWith(QLatin1Char('\n')))
            t.chop(1);
        // Comment lines after the block's last line are not part of it.
        while (!m_block.leftOut.isEmpty() && m_block.leftOut.last().first > t.size())
            m_block.leftOut.removeLast();
        const bool ok = QStringView(t).trimmed().isEmpty() || m_reader.readBlock(m_block);
        m_block = Block();
        return ok;
    }

private:
    enum Kind { Undecided, Blank, Comment, Text };
    static constexpr qsizetype kTold = 4096;

    void decide(SourceText::LineKind kind)
    {
        m_kind = kind == SourceText::LineKind::Blank ? Blank : kind == SourceText::LineKind::Comment ? Comment : Text;
        if (m_kind == Text) {
            if (!m_inBlock) {
                m_inBlock = true;
                m_block.firstLine = m_line;
            }
            append(m_head);
        }
        m_head.clear();
    }
    void append(QByteArrayView bytes)
    {
        m_block.text += m_utf8 ? m_decoder.decode(bytes) : Windows1252::decode(bytes.toByteArray());
    }

    bool m_utf8;
    GiftReader &m_reader;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    QByteArray m_head;   // the start of a line not yet told
    Kind m_kind = Undecided;
    Block m_block;
    bool m_inBlock = false;
    int m_line = 1;
};

ReadResult readGift(const SourceText::Parts &parts, const QString &fileName)
{
    ReadResult r;
    const qint64 start = SourceText::bomLength(parts);
    const SourceText::Survey s = SourceText::survey(parts, start);
    if (s.binaryLine) {
        r.report.fail(QStringLiteral("\"%1\" is not a GIFT text (it holds binary data).").arg(fileName), s.binaryLine);
        return r;
    }
    GiftReader reader(r);
    BlockReader blocks(s.utf8, reader);
    bool lineOpen = false;      // bytes of a line not yet ended
    bool afterCr = false;       // the last part ended in CR: an LF first ends nothing
    for (qint64 at = start;; at += SourceText::PartSize) {
        const QByteArray part = parts(at, SourceText::PartSize);
        if (part.isEmpty())
            break;
        qsizetype pos = 0;
        if (afterCr && part.startsWith('\n'))
            pos = 1;
        afterCr = false;
        while (pos < part.size()) {
            qsizetype end = pos;
            while (end < part.size() && part[end] != '\n' && part[end] != '\r')
                ++end;
            if (end > pos) {
                blocks.add(QByteArrayView(part).sliced(pos, end - pos));
                lineOpen = true;
            }
            if (end == part.size())
                break;
            if (!blocks.endLine())
                return failedWith(r.report);
            lineOpen = false;
            if (part[end] == '\r') {
                if (end + 1 == part.size())
                    afterCr = true;
                else if (part[end + 1] == '\n')
                    ++end;
            }
            pos = end + 1;
        }
    }
    if (lineOpen && !blocks.endLine())
        return failedWith(r.report);
    if (!blocks.flush())
        return failedWith(r.report);
    if (reader.questionsSeen == 0) {
        r.report.fail(QStringLiteral("\"%1\" holds no GIFT question (a text followed by its answers in braces).")
                          .arg(fileName), 1);
        r.questions.clear();
    }
    return r;
}
}

ReadResult GiftFormat::read(const QByteArray &bytes, const QString &fileName) const
{
    return readGift([&bytes](qint64 offset, qint64 length) { return bytes.mid(offset, length); }, fileName);
}

ReadResult GiftFormat::readParts(const OpenFile &file, const QString &fileName) const
{
    return readGift([&file](qint64 offset, qint64 length) { return file.read(offset, length); }, fileName);
}

WriteResult GiftFormat::write(const ExportSource &test) const
{
    WriteResult w;
    const auto commentLine = [](const QString &text) {
        return QStringLiteral("// ") + SourceText::lines(text).join(QLatin1Char(' ')) + QLatin1Char('\n');
    };
    QString out = commentLine(test.title) + commentLine(test.teacher);
    for (const ExchangeQuestion &q : ExchangeQuestion::fromRecords(test.records, w.report)) {
        if (!q.media.isEmpty())
            w.report.skip(ExchangeReport::atQuestion(q.number),
                          QStringLiteral("its media file %1 stays behind: GIFT carries no media.").arg(q.media));
        // Texts go in the platform's default format where it reads them back
        // as they are; any other is marked [plain], and answers have the
        // question's format unless they name their own.
        const bool plainQuestion = needsPlainMarker(q.question, TextFormat::Moodle, false);
        const TextFormat answersReadAs = plainQuestion ? TextFormat::Plain : TextFormat::Moodle;
        out += QLatin1Char('\n') + (plainQuestion ? kPlainMarker : QString()) + escaped(q.question);
        if (!q.isMultipleChoice()) {
            out += q.rightIsTrue() ? QLatin1String(" {TRUE}\n") : QLatin1String(" {FALSE}\n");
        } else {
            out += QLatin1String(" {\n");
            for (int k = 0; k < 4; ++k)
                out += (k == q.right ? QLatin1String("\t=") : QLatin1String("\t~"))
                       + (needsPlainMarker(q.answers[k], answersReadAs, true) ? kPlainMarker : QString())
                       + escaped(q.answers[k]) + QLatin1Char('\n');
            out += QLatin1String("}\n");
        }
        w.report.addCarried();
    }
    w.bytes = out.toUtf8();
    return w;
}
