// ardeno-tool commands for test files and score logs:
//   dump FILE.ard                 the test as JSON {"title", "teacher", "records"}, and
//                                 "language" and "descriptions" when its companion file has them
//   save FILE.ard                 JSON on stdin -> a test file (media copied) and its
//                                 companion file, JSON back
//   log2txt FILE.log OUT.txt      what the log viewer's "Save as Text File" writes
//   scramble|unscramble --key test|log   stdin -> stdout, line by line
// The JSON is UTF-8; records are the unscrambled record strings 1 to N with
// the field separator U+00A9 in them.

#include "tool/ToolCommand.h"

#include "document/LineCodec.h"
#include "document/MediaLookup.h"
#include "platform/MessageService.h"
#include "document/QuestionRecord.h"
#include "platform/RegularFile.h"
#include "document/ScoreLog.h"
#include "document/TestFile.h"
#include "platform/CheckedFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <optional>

namespace {
void printError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

QByteArray readStdin()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return QByteArray();
    return in.readAll();
}

void writeStdout(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

// A JSON string: quotes, backslashes and control characters escaped, the
// rest as UTF-8.
QByteArray jsonString(const QString &text)
{
    QString out(QLatin1Char('"'));
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return (out + QLatin1Char('"')).toUtf8();
}

QByteArray jsonArray(const QStringList &items)
{
    QByteArray out = "[";
    for (qsizetype i = 0; i < items.size(); ++i)
        out += (i ? ",\n    " : "\n    ") + jsonString(items[i]);
    return out + (items.isEmpty() ? "]" : "\n  ]");
}

// Written by hand so the keys keep the documented order.
void printTestJson(const TestDocument &doc)
{
    QByteArray out = "{\n  \"title\": " + jsonString(doc.title()) + ",\n  \"teacher\": "
                     + jsonString(doc.teacher()) + ",\n  \"records\": " + jsonArray(doc.records());
    if (!doc.language().isEmpty())
        out += ",\n  \"language\": " + jsonString(doc.language());
    if (!doc.descriptions().join(QString()).isEmpty())
        out += ",\n  \"descriptions\": " + jsonArray(doc.descriptions());
    writeStdout(out + "\n}\n");
}

int dump(const QStringList &args)
{
    if (args.size() != 1)
        return toolUsageError();
    TestDocument doc;
    const TestReadResult r = LoadTest(doc, args[0]);
    if (!r.test) {
        printError(r.error);
        return 1;
    }
    printTestJson(doc);
    return 0;
}

// The test described by the JSON on stdin, or a message saying what is wrong.
std::optional<LoadedTest> testFromJson(const QByteArray &json, QString *problem)
{
    QJsonParseError error{};
    const QJsonDocument d = QJsonDocument::fromJson(json, &error);
    if (d.isNull()) {
        *problem = QStringLiteral("The input is not JSON: %1.").arg(error.errorString());
        return std::nullopt;
    }
    const QJsonObject o = d.object();
    if (!d.isObject() || !o.value(QLatin1String("title")).isString()
        || !o.value(QLatin1String("teacher")).isString()
        || !o.value(QLatin1String("records")).isArray()) {
        *problem = QStringLiteral("The input must be a JSON object with the strings \"title\" and "
                                  "\"teacher\" and the array \"records\".");
        return std::nullopt;
    }
    LoadedTest test;
    test.title = o.value(QLatin1String("title")).toString();
    test.teacher = o.value(QLatin1String("teacher")).toString();
    const QJsonArray records = o.value(QLatin1String("records")).toArray();
    if (records.size() > TestDocument::MaxQuestions) {
        *problem = QStringLiteral("A test holds at most %1 questions; the input has %2.")
                       .arg(TestDocument::MaxQuestions).arg(records.size());
        return std::nullopt;
    }
    for (qsizetype i = 0; i < records.size(); ++i) {
        // What the loader would refuse is not written in the first place.
        const QString record = records[i].toString();
        if (!records[i].isString() || !record.contains(QuestionRecord::FieldSeparator)) {
            *problem = QStringLiteral("Record %1 is not a question record (a string with fields "
                                      "joined by \u00A9).").arg(i + 1);
            return std::nullopt;
        }
        test.records << record;
    }
    // What the companion file keeps, when given.
    test.companion.language = TestCompanion::cleanLanguage(o.value(QLatin1String("language")).toString());
    for (const QJsonValue &d : o.value(QLatin1String("descriptions")).toArray())
        test.companion.descriptions << TestCompanion::cleanDescription(d.toString());
    return test;
}

int save(const QStringList &args)
{
    if (args.size() != 1)
        return toolUsageError();
    QString problem;
    const std::optional<LoadedTest> test = testFromJson(readStdin(), &problem);
    if (!test) {
        printError(problem);
        return 1;
    }
    TestDocument doc;
    applyLoadedTest(doc, *test);
    // Refusals and the media copy's failures are told on stderr; characters a
    // test cannot hold are named and saved as '?', as a teacher answering OK.
    SaveResult r = SaveTest(doc, args[0]);
    if (r.status == SaveResult::Status::LossyCharacters) {
        printError(r.lossyCharacters);
        r = SaveTest(doc, args[0], SaveOptions{true, {}});
    }
    if (!r.notCopied.isEmpty())
        printError(r.notCopiedMessage());
    if (r.status == SaveResult::Status::Failed) {
        printError(r.errorDescription.trimmed());
        return 1;
    }
    if (!r.saved()) {
        printError(r.message());
        return 1;
    }
    doc.setRecords(r.records);
    doc.setCompanion(test->companion);
    printTestJson(doc);
    return 0;
}

int log2txt(const QStringList &args)
{
    if (args.size() != 2)
        return toolUsageError();
    QString why;
    const QByteArray log = RegularFile::read(args[0], ScoreLog::MaxLogBytes, &why);
    if (!why.isEmpty()) {
        printError(QStringLiteral("Cannot open the score log \"%1\": %2").arg(args[0], why));
        return 1;
    }
    const QByteArray bytes = ScoreLog::exportBytes(ScoreLog::textFromBytes(log));
    QString reason;
    if (!CheckedFile::write(args[1], bytes, &reason)) {
        printError(QStringLiteral("Cannot write \"%1\": %2").arg(args[1], reason));
        return 1;
    }
    return 0;
}

// --key test|log (or --key=test|log)
std::optional<unsigned char> keyArgument(const QStringList &args)
{
    QString value;
    if (args.size() == 2 && args[0] == QLatin1String("--key"))
        value = args[1];
    else if (args.size() == 1 && args[0].startsWith(QLatin1String("--key=")))
        value = args[0].mid(6);
    if (value == QLatin1String("test"))
        return LineCodec::TestFileKey;
    if (value == QLatin1String("log"))
        return LineCodec::ScoreLogKey;
    return std::nullopt;
}

// Lines are split on bytes as the readers split them (CR or CR LF ends a
// line, a lone LF belongs to it, a final terminator adds no line); each
// output line ends with CR LF. Scrambling is its own inverse, so both
// commands do the same.
int scramble(const QStringList &args)
{
    const std::optional<unsigned char> key = keyArgument(args);
    if (!key)
        return toolUsageError();
    const QByteArray in = readStdin();
    QByteArray out;
    out.reserve(in.size() + in.size() / 8);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= in.size(); ++i) {
        if (i < in.size() && in[i] != '\r')
            continue;
        if (i == in.size() && start == i)
            break;
        out += LineCodec::apply(in.mid(start, i - start), *key) + "\r\n";
        if (i + 1 < in.size() && in[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    writeStdout(out);
    return 0;
}

ToolCommandRegistration dumpCommand({"dump", "dump FILE.ard", dump});
ToolCommandRegistration saveCommand({"save", "save FILE.ard   (the test as JSON on stdin)", save});
ToolCommandRegistration log2txtCommand({"log2txt", "log2txt FILE.log OUT.txt", log2txt});
ToolCommandRegistration scrambleCommand({"scramble", "scramble --key test|log   (stdin to stdout)", scramble});
ToolCommandRegistration unscrambleCommand({"unscramble", "unscramble --key test|log   (stdin to stdout)", scramble});
}
