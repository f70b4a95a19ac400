#include "document/RecoveryFormat.h"

#include "document/TestFile.h"

#include <QCryptographicHash>
#include <QHash>
#include <QList>

namespace {
const QByteArray Magic = QByteArrayLiteral("Ardenox recovery ");
const QByteArray EndLine = QByteArrayLiteral("end");

// One value per line: backslash, CR and LF are written as \\, \r and \n.
QByteArray escaped(const QString &value)
{
    QByteArray out;
    const QByteArray utf8 = value.toUtf8();
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
    return out;
}

std::optional<QString> unescaped(const QByteArray &value)
{
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i >= value.size())
            return std::nullopt;
        switch (value[i]) {
        case '\\': out += '\\'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        default: return std::nullopt;
        }
    }
    return QString::fromUtf8(out);
}

void put(QByteArray &out, const char *key, const QByteArray &value)
{
    out += key;
    out += '=';
    out += value;
    out += '\n';
}

void put(QByteArray &out, const char *key, const QString &value) { put(out, key, escaped(value)); }
void put(QByteArray &out, const char *key, int value) { put(out, key, QByteArray::number(value)); }

QByteArray sha256Hex(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

using Fields = QHash<QByteArray, QByteArray>;

// The lines between the version line and the closing "end": a description
// cut anywhere lacks its "end" (or its last line is not a whole field).
std::optional<Fields> splitFields(const QByteArray &description, QString *error)
{
    const int firstEnd = description.indexOf('\n');
    const QByteArray first = firstEnd < 0 ? description : description.left(firstEnd);
    if (!first.startsWith(Magic)) {
        *error = QStringLiteral("not a recovery description");
        return std::nullopt;
    }
    bool ok = false;
    const int version = first.mid(Magic.size()).toInt(&ok);
    if (!ok || version < 1) {
        *error = QStringLiteral("not a recovery description");
        return std::nullopt;
    }
    if (version > RecoveryFormat::Version) {
        *error = QStringLiteral("written by a newer version of the program (format %1)").arg(version);
        return std::nullopt;
    }
    if (!description.endsWith("\n" + EndLine + "\n")) {
        *error = QStringLiteral("the description is incomplete");
        return std::nullopt;
    }
    Fields fields;
    QByteArray body = description.mid(firstEnd + 1);
    body.chop(EndLine.size() + 1);
    if (body.isEmpty())
        return fields;
    body.chop(1);   // the last field's line end
    const QList<QByteArray> lines = body.split('\n');
    for (const QByteArray &line : lines) {
        const int eq = line.indexOf('=');
        if (eq <= 0) {
            *error = QStringLiteral("the description holds a line that is not a field");
            return std::nullopt;
        }
        fields.insert(line.left(eq), line.mid(eq + 1));
    }
    return fields;
}

bool readInt(const Fields &f, const char *key, int low, int high, int &out)
{
    bool ok = false;
    const int v = f.value(key).toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    out = v;
    return true;
}

QByteArray descriptionKey(int number)
{
    return "description." + QByteArray::number(number);
}

bool readText(const Fields &f, const char *key, QString &out)
{
    if (!f.contains(key))
        return true;   // optional: the default stays
    const auto v = unescaped(f.value(key));
    if (!v)
        return false;
    out = *v;
    return true;
}
}

namespace RecoveryFormat {

QByteArray testBytes(const EditorSnapshot &work)
{
    return testFileBytes(work.title, work.teacher, work.records);
}

QByteArray descriptionBytes(const RecoveryCopy &copy, const QString &testFileName, const QByteArray &test)
{
    const EditorSnapshot &w = copy.work;
    const EntryArea &e = w.entry;
    QByteArray out;
    out.reserve(1024);
    out += Magic + QByteArray::number(Version) + '\n';
    put(out, "test", testFileName);
    put(out, "test-size", QByteArray::number(test.size()));
    put(out, "test-sha256", sha256Hex(test));
    put(out, "original", w.originalPath);
    put(out, "folder", w.testFolder);
    put(out, "changed", copy.lastChange.toUTC().toString(Qt::ISODateWithMs));
    put(out, "title", w.title);
    put(out, "teacher", w.teacher);
    // The .ard turns characters Windows-1252 cannot hold into '?'; such
    // records are kept exactly here.
    for (int i = 0; i < w.records.size(); ++i)
        if (!unstorableInTestFile(w.records[i]).isEmpty())
            put(out, QByteArray("record." + QByteArray::number(i + 1)).constData(), w.records[i]);
    // What the companion file beside a saved test keeps.
    if (!w.companion.language.isEmpty())
        put(out, "language", w.companion.language);
    for (int n = 1; n <= w.records.size(); ++n)
        if (!w.companion.description(n).isEmpty())
            put(out, descriptionKey(n).constData(), w.companion.description(n));
    put(out, "entry.type", e.type);
    put(out, "entry.editing", e.editing);
    put(out, "entry.mc.question", e.mcQuestion);
    for (int i = 0; i < 4; ++i)
        put(out, QByteArray("entry.mc.answer." + QByteArray::number(i + 1)).constData(), e.mcAnswers[size_t(i)]);
    put(out, "entry.mc.correct", e.mcCorrect);
    put(out, "entry.mc.media", e.mcMedia);
    put(out, "entry.mc.description", e.mcDescription);
    put(out, "entry.tf.question", e.tfQuestion);
    put(out, "entry.tf.answer", e.tfAnswer);
    put(out, "entry.tf.media", e.tfMedia);
    put(out, "entry.tf.description", e.tfDescription);
    out += EndLine + '\n';
    return out;
}

std::optional<Description> parseDescriptionHeader(const QByteArray &description, QString *error)
{
    const std::optional<Fields> f = splitFields(description, error);
    if (!f)
        return std::nullopt;
    Description d;
    const auto name = unescaped(f->value("test"));
    bool ok = false;
    d.testSize = f->value("test-size").toLongLong(&ok);
    d.testSha256 = f->value("test-sha256");
    if (!name || name->isEmpty() || name->contains(QLatin1Char('/')) || name->contains(QLatin1Char('\\')) || !ok
        || d.testSize < 0 || d.testSha256.size() != 64) {
        *error = QStringLiteral("the description does not name its test file");
        return std::nullopt;
    }
    d.testFileName = *name;
    return d;
}

ReadResult parse(const QByteArray &description, const QByteArray &test)
{
    ReadResult result;
    const std::optional<Description> d = parseDescriptionHeader(description, &result.error);
    if (!d)
        return result;
    if (test.size() != d->testSize || sha256Hex(test) != d->testSha256) {
        result.error = QStringLiteral("the test file is incomplete or changed");
        return result;
    }
    const TestReadResult read = parseTestBytes(test, d->testFileName);
    if (!read.test) {
        result.error = read.error;
        return result;
    }
    QString error;
    const Fields f = *splitFields(description, &error);
    RecoveryCopy copy;
    EditorSnapshot &w = copy.work;
    EntryArea &e = w.entry;
    w.title = read.test->title;
    w.teacher = read.test->teacher;
    w.records = read.test->records;
    copy.lastChange = QDateTime::fromString(QString::fromUtf8(f.value("changed")), Qt::ISODateWithMs);
    bool ok = copy.lastChange.isValid() && readText(f, "original", w.originalPath)
              && readText(f, "folder", w.testFolder) && readText(f, "title", w.title)
              && readText(f, "teacher", w.teacher) && readInt(f, "entry.type", 0, 1, e.type)
              && readInt(f, "entry.editing", 0, int(w.records.size()), e.editing)
              && readText(f, "entry.mc.question", e.mcQuestion) && readInt(f, "entry.mc.correct", 0, 3, e.mcCorrect)
              && readText(f, "entry.mc.media", e.mcMedia) && readText(f, "entry.tf.question", e.tfQuestion)
              && readInt(f, "entry.tf.answer", 0, 1, e.tfAnswer) && readText(f, "entry.tf.media", e.tfMedia)
              && readText(f, "entry.mc.description", e.mcDescription)
              && readText(f, "entry.tf.description", e.tfDescription)
              && readText(f, "language", w.companion.language);
    w.companion.descriptions = QStringList(w.records.size(), QString());
    for (int n = 1; ok && n <= w.records.size(); ++n)
        ok = readText(f, descriptionKey(n).constData(), w.companion.descriptions[n - 1]);
    for (int i = 0; ok && i < 4; ++i)
        ok = readText(f, QByteArray("entry.mc.answer." + QByteArray::number(i + 1)).constData(), e.mcAnswers[size_t(i)]);
    for (int i = 0; ok && i < w.records.size(); ++i)
        ok = readText(f, QByteArray("record." + QByteArray::number(i + 1)).constData(), w.records[i]);
    if (!ok) {
        result.error = QStringLiteral("the description holds a value out of range");
        return result;
    }
    result.copy = copy;
    return result;
}
}
