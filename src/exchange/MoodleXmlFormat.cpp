#include "exchange/MoodleXmlFormat.h"

#include "exchange/Base64Contents.h"
#include "exchange/ExchangeQuestion.h"
#include "exchange/HtmlText.h"
#include "exchange/SourceText.h"
#include "exchange/TextFormat.h"

#include "document/MediaLookup.h"
#include "document/Windows1252.h"
#include "document/MediaAdmission.h"

#include "platform/CheckedFileStream.h"
#include "platform/RegularFile.h"

#include <QBuffer>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <QUrl>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cmath>

namespace {
constexpr int kMaxAttributes = 64;

// The line of the first start tag with more than `limit` attributes, in one
// pass over the bytes (comments, CDATA sections, processing instructions
// and quoted values skipped); 0 when there is none.
int lineOfCrowdedTag(const QByteArray &xml, int limit)
{
    int line = 1;
    const char *p = xml.constData();
    const char *const end = p + xml.size();
    const auto skipPast = [&](const char *closing) {
        const qsizetype length = qsizetype(std::strlen(closing));
        for (; p < end; ++p) {
            if (*p == '\n')
                ++line;
            if (end - p >= length && std::memcmp(p, closing, size_t(length)) == 0) {
                p += length;
                return;
            }
        }
    };
    while (p < end) {
        const char c = *p++;
        if (c == '\n')
            ++line;
        if (c != '<' || p >= end)
            continue;
        if (end - p >= 3 && std::memcmp(p, "!--", 3) == 0) {
            skipPast("-->");
        } else if (end - p >= 8 && std::memcmp(p, "![CDATA[", 8) == 0) {
            skipPast("]]>");
        } else if (*p == '?') {
            skipPast("?>");
        } else if (*p != '/' && *p != '!') {
            const int tagLine = line;
            int attributes = 0;
            char quote = 0;
            for (; p < end; ++p) {
                if (*p == '\n')
                    ++line;
                if (quote) {
                    if (*p == quote)
                        quote = 0;
                } else if (*p == '"' || *p == '\'') {
                    quote = *p;
                } else if (*p == '=') {
                    if (++attributes > limit)
                        return tagLine;
                } else if (*p == '>') {
                    ++p;
                    break;
                }
            }
        }
    }
    return 0;
}

// A media file far larger than any a test plays is not embedded.
constexpr qint64 kMaxEmbeddedBytes = qint64(1) << 30;


struct EmbeddedFile {
    QString name;
    QByteArray data;
};

struct MoodleText {
    QString format;
    QString text;
    bool isEmpty() const { return text.trimmed().isEmpty(); }
    // As the platform shows it; a text of no known format is plain.
    QString plain() const { return plainTextOf(text, textFormatNamed(format).value_or(TextFormat::Plain)); }
};

struct MoodleAnswer {
    QString fraction;
    MoodleText text;
    bool feedback = false;
    bool picture = false;   // a <file> of its own, or an <img> in its text
};

// One <question> as read, before it is judged.
struct MoodleQuestion {
    QString type;
    int line = 0;
    bool named = false;
    bool feedback = false;
    QString single;
    MoodleText questionText;
    QString category;             // a category "question": the category's path
    QList<EmbeddedFile> files;    // the first with its bytes, the others by name
    QList<MoodleAnswer> answers;
};

// Elements nested deeper than this inside one text are not a question's text
// but an attack on the reader.
constexpr int kMaxTextDepth = 64;

// The text of the element the reader stands on, with the text of every
// element inside it, read in a loop (never by recursion, so thousands of
// nested elements cannot exhaust the stack): deeper nesting than
// kMaxTextDepth stops the file with an error.
QString elementText(QXmlStreamReader &xml)
{
    QString text;
    for (int depth = 1; depth > 0 && !xml.atEnd();) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > kMaxTextDepth) {
                xml.raiseError(QStringLiteral("elements are nested more than %1 deep").arg(kMaxTextDepth));
                return QString();
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            text += xml.text();
            break;
        default:
            break;
        }
    }
    return text;
}

// Reads the <text> child (and <file> children) of a text element such as
// <questiontext>; the reader stands on the element's start.
MoodleText readTextElement(QXmlStreamReader &xml, QList<EmbeddedFile> *files,
                           const Base64Contents *contents = nullptr)
{
    MoodleText t;
    t.format = xml.attributes().value(QLatin1String("format")).toString();
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("text")) {
            t.text = elementText(xml);
        } else if (xml.name() == QLatin1String("file") && files) {
            EmbeddedFile f;
            f.name = xml.attributes().value(QLatin1String("name")).toString();
            const bool base64 = xml.attributes().value(QLatin1String("encoding")) == QLatin1String("base64");
            const QStringView taken = xml.attributes().value(QLatin1String(Base64Contents::IndexAttribute));
            if (files->isEmpty() && base64 && !taken.isEmpty() && contents) {
                f.data = contents->decoded(taken.toInt());
                xml.skipCurrentElement();
            } else if (files->isEmpty() && base64) {
                // Only the first file is kept; it is decoded straight from the text.
                f.data = QByteArray::fromBase64(xml.readElementText().toLatin1());
            } else {
                xml.skipCurrentElement();
            }
            files->append(f);
        } else {
            xml.skipCurrentElement();
        }
    }
    return t;
}

MoodleQuestion readQuestion(QXmlStreamReader &xml, const Base64Contents &contents)
{
    MoodleQuestion q;
    q.type = xml.attributes().value(QLatin1String("type")).toString();
    q.line = int(xml.lineNumber());
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        if (name == QLatin1String("name")) {
            q.named = !readTextElement(xml, nullptr).isEmpty();
        } else if (name == QLatin1String("questiontext")) {
            q.questionText = readTextElement(xml, &q.files, &contents);
        } else if (name == QLatin1String("answer")) {
            MoodleAnswer a;
            a.fraction = xml.attributes().value(QLatin1String("fraction")).toString();
            a.text.format = xml.attributes().value(QLatin1String("format")).toString();
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("text")) {
                    a.text.text = elementText(xml);
                    a.picture = a.picture || a.text.text.contains(QLatin1String("<img"), Qt::CaseInsensitive);
                } else if (xml.name() == QLatin1String("feedback")) {
                    a.feedback = !readTextElement(xml, nullptr).isEmpty();
                } else {
                    a.picture = a.picture || xml.name() == QLatin1String("file");
                    xml.skipCurrentElement();
                }
            }
            q.answers << a;
        } else if (name == QLatin1String("single")) {
            q.single = xml.readElementText().trimmed();
        } else if (name == QLatin1String("category")) {
            q.category = readTextElement(xml, nullptr).text.trimmed();
        } else if (name.endsWith(QLatin1String("feedback"))) {
            q.feedback = !readTextElement(xml, nullptr).isEmpty() || q.feedback;
        } else {
            xml.skipCurrentElement();
        }
    }
    return q;
}

// 100 and 0 as Moodle writes them ("100", "0", "100.0000000"); -1 for partial credit.
int fractionOf(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().isEmpty() ? 0.0 : text.toDouble(&ok);
    if (!text.trimmed().isEmpty() && !ok)
        return -1;
    if (std::abs(v - 100.0) < 1e-6)
        return 100;
    if (std::abs(v) < 1e-6)
        return 0;
    return -1;
}

bool isPictureName(const QString &name)
{
    const QString lower = name.toLower();
    return lower.endsWith(QLatin1String(".bmp")) || lower.endsWith(QLatin1String(".jpg"))
           || lower.endsWith(QLatin1String(".jpeg")) || lower.endsWith(QLatin1String(".png"))
           || lower.endsWith(QLatin1String(".gif"));
}

void judge(const MoodleQuestion &mq, ReadResult &r)
{
    const QString where = ExchangeReport::atLine(mq.line);
    const auto skip = [&](const QString &why) { r.report.skip(where, why + QStringLiteral("; skipped.")); };
    if (mq.type == QLatin1String("category")) {
        r.report.note(QStringLiteral("Question categories were left out: a test has none."));
        // "$course$/top/Rivers": the questions after it are in "top/Rivers".
        r.category = QString(mq.category).remove(QRegularExpression(QStringLiteral("^\\$[a-z]+\\$/")));
        return;
    }
    ExchangeQuestion q;
    if (mq.type == QLatin1String("multichoice")) {
        if (mq.single.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || mq.single == QLatin1String("0"))
            return skip(QStringLiteral("a multiple-choice question with several right answers cannot be carried"));
        if (mq.answers.size() != 4)
            return skip(QStringLiteral("it has %1 answers; a test's multiple choice has exactly four").arg(mq.answers.size()));
        for (int k = 0; k < 4; ++k)
            if (mq.answers[k].picture)
                return skip(QStringLiteral("answer %1 holds a picture, which a test's answers cannot").arg(QChar(u'A' + k)));
        int right = 0;
        for (int k = 0; k < 4; ++k) {
            const int f = fractionOf(mq.answers[k].fraction);
            if (f < 0)
                return skip(QStringLiteral("it gives partial credit, which a test cannot"));
            if (f == 100) {
                ++right;
                q.right = k;
            }
            // An answer without a format of its own has the question text's, as in Moodle.
            MoodleText answer = mq.answers[k].text;
            if (answer.format.isEmpty())
                answer.format = mq.questionText.format;
            q.answers << SourceText::oneLine(answer.plain());
        }
        if (right != 1)
            return skip(right == 0 ? QStringLiteral("it has no right answer")
                                   : QStringLiteral("it has %1 right answers; a test's has one").arg(right));
        q.kind = QuestionKind::MultipleChoice;
    } else if (mq.type == QLatin1String("truefalse")) {
        int rightTrue = -1;
        for (const MoodleAnswer &a : mq.answers) {
            if (fractionOf(a.fraction) != 100)
                continue;
            const QString t = a.text.plain().trimmed().toLower();
            if (t == QLatin1String("true"))
                rightTrue = 1;
            else if (t == QLatin1String("false"))
                rightTrue = 0;
        }
        if (rightTrue < 0)
            return skip(QStringLiteral("its right answer is neither true nor false"));
        q.kind = QuestionKind::TrueFalse;
        q.right = rightTrue ? 0 : 1;
    } else {
        return skip(QStringLiteral("a question of type \"%1\" cannot be carried (only multiple choice with four "
                                   "answers and true/false)").arg(mq.type));
    }
    if (mq.named)
        r.report.note(QStringLiteral("Question names and titles were left out: a test has none."));
    bool feedback = mq.feedback;
    for (const MoodleAnswer &a : mq.answers)
        feedback = feedback || a.feedback;
    if (feedback)
        r.report.note(QStringLiteral("Feedback was left out: a test shows none."));
    q.question = mq.questionText.plain();
    // Sound and video the question links to on the web stay there; the
    // link's text is in the question.
    // A few are named; a question of thousands says how many more.
    constexpr qsizetype kNamed = 5;
    const QStringList links = HtmlText::mediaLinks(mq.questionText.text);
    for (qsizetype k = 0; k < std::min(links.size(), kNamed); ++k)
        r.report.skip(where, QStringLiteral("its link to %1 was left out (a test plays only files it holds); "
                                            "the link's text stays.").arg(links[k]));
    if (links.size() > kNamed)
        r.report.skip(where, QStringLiteral("%L1 more links were left out as well.").arg(links.size() - kNamed));
    if (mq.files.isEmpty()) {
        r.add(q, mq.line);
        return;
    }
    q.media = mq.files.first().name;
    // A picture's text alternative other than its file name describes it.
    static const QRegularExpression alt(QStringLiteral("<img\\b[^>]*\\balt\\s*=\\s*\"([^\"]*)\""),
                                        QRegularExpression::CaseInsensitiveOption);
    const QString altText = HtmlText::decodeEntities(alt.match(mq.questionText.text).captured(1)).trimmed();
    if (isPictureName(q.media) && altText != q.media)
        q.description = altText;
    r.add(q, mq.line, mq.files.first().data);
    for (qsizetype k = 1; k < std::min(mq.files.size(), kNamed + 1); ++k)
        r.report.skip(where, QStringLiteral("only its first media file was taken; %1 was left out.")
                                 .arg(mq.files[k].name));
    if (mq.files.size() > kNamed + 1)
        r.report.skip(where, QStringLiteral("%L1 more media files were left out as well.").arg(mq.files.size() - kNamed - 1));
}

// The first line of the question, as Moodle names a question it imports.
QString questionName(const QString &text, int number)
{
    const QStringList lines = SourceText::lines(text);
    QString first = lines.isEmpty() ? QString() : lines.first().trimmed();
    if (first.size() > 60)
        first = first.left(57) + QStringLiteral("...");
    return first.isEmpty() ? QStringLiteral("Question %1").arg(number) : first;
}

// XML cannot hold most control characters, nor half a surrogate pair.
QString xmlSafe(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (!c.isSurrogate() && (c.unicode() >= 0x20 || c == QLatin1Char('\t') || c == QLatin1Char('\n')
                                        || c == QLatin1Char('\r')) && c.unicode() != 0xFFFE && c.unicode() != 0xFFFF) {
            out += c;
        }
    }
    return out;
}

void writeText(QXmlStreamWriter &xml, const QString &element, const QString &format, const QString &text,
               bool cdata)
{
    xml.writeStartElement(element);
    if (!format.isEmpty())
        xml.writeAttribute(QStringLiteral("format"), format);
    xml.writeStartElement(QStringLiteral("text"));
    if (cdata)
        xml.writeCDATA(xmlSafe(text));
    else
        xml.writeCharacters(xmlSafe(text));
    xml.writeEndElement();
    xml.writeEndElement();
}
}

FileFilter MoodleXmlFormat::nameFilter() const
{
    return {QStringLiteral("Moodle XML (*.xml)"), QStringLiteral("*.xml")};
}

ReadResult MoodleXmlFormat::read(const QByteArray &bytes, const QString &fileName) const
{
    ReadResult r;
    // The reader works through the skeleton a piece at a time, so even a
    // file whose contents could not be taken out is never held twice as text.
    const Base64Contents contents(bytes);
    QByteArray data = contents.skeleton();
    // The XML reader checks a tag's attributes against each other, which
    // takes the square of their number: a tag with 200,000 of them would
    // take minutes. No Moodle XML tag has more than a few.
    if (const int line = lineOfCrowdedTag(data, kMaxAttributes); line > 0) {
        r.report.fail(QStringLiteral("\"%1\" is not a Moodle XML file: a tag has more than %2 attributes.")
                          .arg(fileName).arg(kMaxAttributes), line);
        return r;
    }
    QBuffer buffer(&data);
    QString decoded;
    QXmlStreamReader xml;
    if (SourceText::isUtf8(data) || data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        buffer.open(QIODevice::ReadOnly);
        xml.setDevice(&buffer);
    } else {
        // Not UTF-8: Windows-1252, whatever the declaration says.
        decoded = Windows1252::decode(data);
        xml.addData(decoded);
    }
    if (!xml.readNextStartElement()) {
        r.report.fail(QStringLiteral("\"%1\" is not a Moodle XML file: %2").arg(fileName, xml.errorString()),
                      int(xml.lineNumber()));
        return r;
    }
    if (xml.name() != QLatin1String("quiz")) {
        r.report.fail(QStringLiteral("\"%1\" is not a Moodle XML file: its outer element is <%2>, not <quiz>.")
                          .arg(fileName, xml.name().toString()), int(xml.lineNumber()));
        return r;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("question")) {
            const MoodleQuestion q = readQuestion(xml, contents);
            // A question cut short by a fatal error is not judged: the
            // error is the one thing to say.
            if (xml.hasError())
                break;
            judge(q, r);
        } else
            xml.skipCurrentElement();
    }
    if (!xml.hasError()) {
        // Nothing may follow the closing </quiz> but white space and comments.
        while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::Invalid) {
        }
    }
    if (xml.hasError()) {
        r.report.fail(QStringLiteral("\"%1\" is not a complete Moodle XML file: %2")
                          .arg(fileName, xml.errorString()), int(xml.lineNumber()));
        r.questions.clear();
    }
    return r;
}

// The file written to `out` as it is made: a media file's Base64 goes
// straight from its handle, block by block, so no media file is ever held
// whole, however many questions share it. `ownerOnly` is called once when a
// file only its owner may read goes in. False when `progress` was cancelled.
bool MoodleXmlFormat::writeTo(QIODevice &out, const ExportSource &test, ExchangeReport &report,
                              const std::function<void()> &ownerOnly) const
{
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    QString comment = xmlSafe(QStringLiteral(" %1 / %2 ").arg(test.title, test.teacher));
    while (comment.contains(QLatin1String("--")))
        comment.replace(QLatin1String("--"), QLatin1String("- -"));
    xml.writeComment(comment);
    xml.writeStartElement(QStringLiteral("quiz"));
    bool privateFileIn = false;
    for (const ExchangeQuestion &q : ExchangeQuestion::fromRecords(test.records, report)) {
        if (WorkProgress::stopped(test.progress))
            return false;
        const QString where = ExchangeReport::atQuestion(q.number);
        QString mediaName;
        OpenFilePtr file;
        if (!q.media.isEmpty()) {
            const QString path = test.mediaPath(q.media);
            QString reason = path.isEmpty() ? QStringLiteral("not found") : QString();
            file = reason.isEmpty() ? MediaAdmission::admit(path, &reason) : nullptr;
            if (file && file->size() > kMaxEmbeddedBytes)
                reason = RegularFile::tooLarge(kMaxEmbeddedBytes);
            if (reason.isEmpty()) {
                mediaName = MediaLookup::nameOf(path);
                if (file->isPrivate() && !privateFileIn) {
                    privateFileIn = true;
                    ownerOnly();
                    report.note(QStringLiteral("%1 is readable by its owner alone, and so is the file it went into.")
                                    .arg(q.media));
                }
            } else {
                file.reset();
                report.skip(where, QStringLiteral("its media file %1 stays behind: %2.").arg(q.media, reason));
            }
        }
        xml.writeStartElement(QStringLiteral("question"));
        xml.writeAttribute(QStringLiteral("type"), q.isMultipleChoice() ? QStringLiteral("multichoice")
                                                                         : QStringLiteral("truefalse"));
        writeText(xml, QStringLiteral("name"), QString(), questionName(q.question, q.number), false);

        QString html = HtmlText::fromPlain(q.question);
        if (file) {
            const QString url = QStringLiteral("@@PLUGINFILE@@/")
                                + QString::fromLatin1(QUrl::toPercentEncoding(mediaName));
            const QString shown = HtmlText::escaped(mediaName);
            // A picture's description is its text alternative on the platform.
            const QString description = HtmlText::escaped(test.companion.description(q.number));
            html += isPictureName(mediaName)
                        ? QStringLiteral("<p><img src=\"%1\" alt=\"%2\"></p>").arg(url, description.isEmpty() ? shown : description)
                        : QStringLiteral("<p><a href=\"%1\">%2</a></p>").arg(url, shown);
        }
        xml.writeStartElement(QStringLiteral("questiontext"));
        xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
        xml.writeStartElement(QStringLiteral("text"));
        xml.writeCDATA(xmlSafe(html));
        xml.writeEndElement();
        if (file) {
            xml.writeStartElement(QStringLiteral("file"));
            xml.writeAttribute(QStringLiteral("name"), xmlSafe(mediaName));
            xml.writeAttribute(QStringLiteral("path"), QStringLiteral("/"));
            xml.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
            // Base64 needs no escaping: its bytes go straight into the output,
            // after the writer has closed the start tag, in blocks of a
            // multiple of three bytes so that they join up.
            xml.writeCharacters(QString());
            const auto reader = file->reader();
            QByteArray block(3 * 64 * 1024, Qt::Uninitialized);
            for (qint64 n; (n = reader->read(block.data(), block.size())) > 0;)
                out.write(QByteArray::fromRawData(block.constData(), n).toBase64());
            xml.writeEndElement();
        }
        xml.writeEndElement();
        writeText(xml, QStringLiteral("generalfeedback"), QStringLiteral("html"), QString(), false);
        xml.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1"));
        xml.writeTextElement(QStringLiteral("penalty"), q.isMultipleChoice() ? QStringLiteral("0.3333333")
                                                                              : QStringLiteral("1"));
        xml.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
        if (q.isMultipleChoice()) {
            xml.writeTextElement(QStringLiteral("single"), QStringLiteral("true"));
            xml.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("false"));
            xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("ABCD"));
            for (int k = 0; k < 4; ++k) {
                xml.writeStartElement(QStringLiteral("answer"));
                xml.writeAttribute(QStringLiteral("fraction"), k == q.right ? QStringLiteral("100") : QStringLiteral("0"));
                xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
                xml.writeStartElement(QStringLiteral("text"));
                xml.writeCDATA(xmlSafe(HtmlText::fromPlain(q.answers[k])));
                xml.writeEndElement();
                writeText(xml, QStringLiteral("feedback"), QStringLiteral("html"), QString(), false);
                xml.writeEndElement();
            }
        } else {
            for (const bool value : {true, false}) {
                xml.writeStartElement(QStringLiteral("answer"));
                xml.writeAttribute(QStringLiteral("fraction"),
                                   value == q.rightIsTrue() ? QStringLiteral("100") : QStringLiteral("0"));
                xml.writeAttribute(QStringLiteral("format"), QStringLiteral("moodle_auto_format"));
                xml.writeTextElement(QStringLiteral("text"), value ? QStringLiteral("true") : QStringLiteral("false"));
                writeText(xml, QStringLiteral("feedback"), QStringLiteral("html"), QString(), false);
                xml.writeEndElement();
            }
        }
        xml.writeEndElement();
        report.addCarried();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return true;
}

WriteResult MoodleXmlFormat::write(const ExportSource &test) const
{
    WriteResult w;
    QBuffer buffer(&w.bytes);
    buffer.open(QIODevice::WriteOnly);
    writeTo(buffer, test, w.report, [&w] { w.ownerOnly = true; });
    return w;
}

namespace {
// The checked stream as a device the XML writer writes to.
class StreamDevice : public QIODevice {
public:
    explicit StreamDevice(CheckedFileStream &out) : m_out(out) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override { return m_out.write(data, size) ? size : -1; }

private:
    CheckedFileStream &m_out;
};
}

std::optional<ExchangeReport> MoodleXmlFormat::writeFile(const ExportSource &test, const QString &path) const
{
    // A test none of whose questions can be written is the caller's to
    // report, as for every format.
    ExchangeReport counted;
    if (ExchangeQuestion::fromRecords(test.records, counted).isEmpty())
        return std::nullopt;
    CheckedFileStream out(path);
    ExchangeReport report;
    if (!out.open()) {
        report.fail(QStringLiteral("\"%1\" cannot be written: %2").arg(path, out.errorString()));
        return report;
    }
    StreamDevice device(out);
    if (!writeTo(device, test, report,
                 [&out] { out.makeOwnerOnly(); }))
        return std::nullopt;   // cancelled: the caller says so, nothing was written
    if (!out.commit())
        report.fail(QStringLiteral("\"%1\" cannot be written: %2").arg(path, out.errorString()));
    return report;
}
