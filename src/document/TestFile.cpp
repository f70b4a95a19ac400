#include "document/TestFile.h"

#include "document/CompanionFile.h"
#include "document/HeldMedia.h"
#include "document/MediaAdmission.h"

#include "document/FileKind.h"
#include "document/LineCodec.h"
#include "document/MediaLookup.h"
#include "platform/Platform.h"
#include "platform/RegularFile.h"
#include "document/QuestionRecord.h"
#include "platform/ShellService.h"
#include "document/Windows1252.h"
#include "platform/CheckedFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {
const QByteArray kCrLf("\r\n");

// The one plain character that the test-file key scrambles to CR: inside a
// line it would end the line early and break the file, so it is stored as
// '?' like a character Windows-1252 cannot hold.
constexpr char kScramblesToCr = char('\r' ^ LineCodec::TestFileKey);

QByteArray scrambledLine(const QString &text)
{
    QByteArray bytes = Windows1252::encode(text);
    bytes.replace(kScramblesToCr, '?');
    return LineCodec::testLine(bytes);
}

// Lines end at CR or CR LF; a lone LF belongs to the line. A final line
// without terminator counts; a terminator at the very end adds no line.
// Walked in place, one line at a time: a file of millions of empty lines
// costs no memory beyond its bytes.
class LineWalker {
public:
    explicit LineWalker(const QByteArray &bytes) : m_bytes(bytes) {}
    // The next line (a view into the bytes) and its number from 1; false at the end.
    bool next(QByteArrayView *line)
    {
        const qsizetype n = m_bytes.size();
        if (m_at >= n)
            return false;
        const char *data = m_bytes.constData();
        const void *cr = std::memchr(data + m_at, '\r', size_t(n - m_at));
        const qsizetype end = cr ? static_cast<const char *>(cr) - data : n;
        *line = QByteArrayView(data + m_at, end - m_at);
        m_at = end + 1;
        if (cr && m_at < n && data[m_at] == '\n')
            ++m_at;
        ++m_number;
        return true;
    }
    qsizetype number() const { return m_number; }

private:
    const QByteArray &m_bytes;
    qsizetype m_at = 0;
    qsizetype m_number = 0;
};

TestReadResult refuse(const QString &fileName, const QString &problem)
{
    TestReadResult r;
    r.error = QStringLiteral("The file \"%1\" cannot be read as an Ardeno test: %2")
                  .arg(fileName, problem);
    return r;
}
}

TestReadResult parseTestBytes(const QByteArray &bytes, const QString &fileName)
{
    LineWalker lines(bytes);
    QByteArrayView line;
    if (!lines.next(&line))
        return refuse(fileName, QStringLiteral("the file is empty."));

    const QStringList header =
        QuestionRecord::fields(Windows1252::decode(LineCodec::testLine(line.toByteArray())));
    if (header.size() < 2)
        return refuse(fileName, QStringLiteral("its first line holds no title and class/teacher line."));

    LoadedTest test;
    test.title = QuestionRecord::withoutEdgeBlanks(header[0]);
    test.teacher = QuestionRecord::withoutEdgeBlanks(header[1]);
    while (lines.next(&line)) {
        if (line.isEmpty())
            continue;
        const QString record = Windows1252::decode(LineCodec::testLine(line.toByteArray()));
        if (!record.contains(QuestionRecord::FieldSeparator))
            return refuse(fileName, QStringLiteral("line %1 is not a question.").arg(lines.number()));
        if (test.records.size() == TestDocument::MaxQuestions)
            return refuse(fileName, QStringLiteral("it holds more than %1 questions.")
                                        .arg(TestDocument::MaxQuestions));
        test.records.append(record);
    }
    TestReadResult r;
    r.test = std::move(test);
    return r;
}

TestReadResult readTestFile(const QString &path)
{
    const QString name = MediaLookup::nameOf(path);
    // A test is at most 100 lines of a few hundred characters; anything far
    // larger is not a test, and is not read into memory whole. A pipe or a
    // device is never opened (it would block or never end).
    constexpr qint64 kMaxTestBytes = 16 * 1024 * 1024;
    QString why;
    bool tooLarge = false;
    const QByteArray bytes = RegularFile::read(path, kMaxTestBytes, &why, &tooLarge);
    if (tooLarge)
        return refuse(name, QStringLiteral("the file is far too large for a test."));
    if (!why.isEmpty())
        return refuse(name, why + QLatin1Char('.'));
    TestReadResult read = parseTestBytes(bytes, name);
    if (read.test) {
        const CompanionFile::Read companion = CompanionFile::readBeside(path, read.test->records);
        read.test->companion = companion.companion;
        if (!companion.problem.isEmpty())
            read.companionNotice = QStringLiteral("The media descriptions in \"%1\" were not read: %2. The test "
                                                  "opened without them.")
                                       .arg(MediaLookup::nameOf(CompanionFile::pathFor(path)), companion.problem);
    }
    return read;
}

void applyLoadedTest(TestDocument &doc, const LoadedTest &test)
{
    doc.setTitle(test.title);
    doc.setTeacher(test.teacher);
    doc.setRecords(test.records);   // parseTestBytes never gives more than 100
    doc.setCompanion(test.companion);
}

TestReadResult LoadTest(TestDocument &doc, const QString &path)
{
    TestReadResult r = readTestFile(path);
    if (r.test)
        applyLoadedTest(doc, *r.test);
    return r;
}

QByteArray testFileBytes(const QString &title, const QString &teacher, const QStringList &records)
{
    QByteArray out = scrambledLine(title + QuestionRecord::FieldSeparator + teacher) + kCrLf;
    for (const QString &record : records)
        out += scrambledLine(record) + kCrLf;
    return out + kCrLf;
}

QString testIdentity(const QString &title, const QString &teacher, const QStringList &records)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(testFileBytes(title, teacher, records), QCryptographicHash::Sha256).toHex().left(12));
}

QString unstorableInTestFile(const QString &text)
{
    QString found = Windows1252::unencodable(text);
    if (text.contains(QLatin1Char(kScramblesToCr)))
        found += QLatin1Char(kScramblesToCr);
    return found;
}

bool ShellCopyFile(const OpenFile &source, const QString &target, QString *reason)
{
    return Platform::shell().copyFile(source, target, reason);
}

namespace {
// A file's name without its folder, in the letter case the file system lists
// it (which only differs from the reference on case-insensitive systems).
QString listedName(const QString &path)
{
    const QFileInfo info(path);
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    const QStringList names = info.dir().entryList(QDir::Files | QDir::Hidden | QDir::System);
    if (!names.contains(info.fileName()))
        for (const QString &n : names)
            if (n.compare(info.fileName(), Qt::CaseInsensitive) == 0)
                return n;
#endif
    return info.fileName();
}

// A name that, put after the target folder, stays a file of that folder: no
// separator, not "." or "..", and no control character (which would also
// break the record's line).
bool staysInFolder(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    return true;
}

// The name under which `source` goes into `folder`: its own name when that
// is free or holds the same bytes, else name-2, name-3, ... (the first free
// one or the first with the same bytes), the kind (the text after the first
// full stop) kept.
QString placeIn(const QString &folder, const QString &name, const OpenFile &source)
{
    for (int n = 1;; ++n) {
        const QString candidate = numberedName(name, n);
        const QFileInfo there(folder + candidate);
        if ((!there.exists() && !there.isSymLink()) || MediaAdmission::sameContent(folder + candidate, source))
            return candidate;
    }
}

// Copies a record's media file (found where the test was read from) into the
// folder the test is saved to and names it by its bare name there, unless a
// file of that name is already in that folder. A file the test holds itself
// (imported, waiting in the held-media folder) always goes along: a file of
// the same bytes already there is shared, a taken name gives a free one
// (logo-2.jpg). Only a file the media admission lets travel is copied: a test
// made by someone else must not carry private or special files into a shared
// folder. What is not copied keeps its reference and is listed in notCopied
// with the reason, and so is a reference to a file that is not there.
QString travellingMediaRecord(const QString &record, const TestDocument &doc, const QString &targetFolder,
                              QStringList &notCopied)
{
    QStringList f = QuestionRecord::fields(record);
    const int m = QuestionRecord::exactMediaFieldIndex(f);
    if (m < 0)
        return record;
    const QString source = MediaLookup::resolve(f[m], doc.testFolder());
    if (source.isEmpty()) {
        const QString named = MediaLookup::pathOf(f[m], doc.testFolder());
        if (!named.isEmpty()) {
            const QFileInfo there(named);
            notCopied << named + QStringLiteral(": ")
                             + (there.exists() || there.isSymLink() ? MediaAdmission::refusal(named)
                                                                    : QStringLiteral("not found"));
        }
        return record;
    }
    QString bareName = listedName(source);
    if (!staysInFolder(bareName))
        return record;
    // Admitted once; the copy reads the very file that was admitted.
    QString refused;
    const OpenFilePtr admitted = MediaAdmission::admit(source, &refused, bareName);
    if (!admitted) {
        notCopied << source + QStringLiteral(": ") + refused;
        return record;
    }
    if (QFileInfo::exists(targetFolder + bareName) || QFileInfo(targetFolder + bareName).isSymLink()) {
        if (!HeldMedia::holds(doc.heldMediaRoot(), source))
            return record;
        bareName = placeIn(targetFolder, bareName, *admitted);
    }
    const QString target = targetFolder + bareName;
    QString reason;
    if (!QFileInfo::exists(target) && !QFileInfo(target).isSymLink() && !ShellCopyFile(*admitted, target, &reason)) {
        notCopied << source + QStringLiteral(": ") + reason;
        return record;   // still names the file, so a later save can take it along
    }
    f[m] = bareName;
    return QuestionRecord::join(f);
}

}

QString unstorableCharactersNamed(const QString &text)
{
    const QString lost = unstorableInTestFile(text);
    QStringList shown;
    for (qsizetype i = 0; i < lost.size(); ++i) {
        char32_t c = lost[i].unicode();
        if (lost[i].isHighSurrogate() && i + 1 < lost.size()) {
            c = QChar::surrogateToUcs4(lost[i], lost[i + 1]);
            ++i;
        }
        // Invisible characters (controls, spaces) are named by their code.
        shown << (QChar::isPrint(c) && !QChar::isSpace(c) ? QString::fromUcs4(&c, 1)
                                    : QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper());
    }
    return shown.join(QLatin1Char(' '));
}

QString unstorableCharactersNotice(const QString &text)
{
    const QString named = unstorableCharactersNamed(text);
    if (named.isEmpty())
        return QString();
    return QStringLiteral("These characters cannot be stored in an Ardeno test and will be "
                          "saved as \"?\":\n\n%1").arg(named);
}

QString SaveResult::message() const
{
    switch (status) {
    case Status::Saved: return QString();
    case Status::FieldsMissing: return QStringLiteral("Please fill in all fields before attempting to save this test.");
    case Status::LossyCharacters: return lossyCharacters + QStringLiteral("\n\nSave anyway?");
    case Status::Failed: break;
    }
    return QStringLiteral("Error saving test!") + errorDescription;
}

QString SaveResult::notCopiedMessage() const
{
    return notCopied.isEmpty() ? QString() : QStringLiteral("Error occurred!\n\n") + notCopied.join(QLatin1Char('\n'));
}

SaveResult SaveTest(const TestDocument &doc, const QString &path, const SaveOptions &options)
{
    SaveResult result;
    if (doc.teacher().isEmpty() || doc.title().isEmpty()) {
        result.status = SaveResult::Status::FieldsMissing;
        return result;
    }
    if (!options.acceptLossyCharacters) {
        QString all = doc.title() + doc.teacher();
        for (const QString &record : doc.records())
            all += record;
        result.lossyCharacters = unstorableCharactersNotice(all);
        if (!result.lossyCharacters.isEmpty()) {
            result.status = SaveResult::Status::LossyCharacters;
            return result;
        }
    }

    // A path without folder saves into the working directory. The records
    // are worked out first; the document takes them only once the test is
    // written, so a failed save leaves it naming files that exist.
    const QString folder = MediaLookup::testFolderOf(path);
    for (int i = 1; i <= doc.questionCount(); ++i) {
        if (options.pumpEvents)
            options.pumpEvents();
        result.records.append(travellingMediaRecord(doc.record(i), doc, folder, result.notCopied));
    }

    const bool existed = QFileInfo::exists(path);
    QString reason;
    if (!CheckedFile::write(path, testFileBytes(doc.title(), doc.teacher(), result.records), &reason)) {
        result.errorDescription = QStringLiteral("\n\nThe file \"%1\" could not be written: %2.\n%3")
            .arg(QDir::toNativeSeparators(path), reason,
                 existed ? QStringLiteral("Its previous version is unchanged.")
                         : QStringLiteral("Nothing was written."));
        result.records.clear();
        return result;
    }
    result.status = SaveResult::Status::Saved;
    // The companion file follows the test it belongs to.
    if (!CompanionFile::keepBeside(path, CompanionFile::bytes(doc.companion(), result.records), &reason))
        result.notCopied << CompanionFile::pathFor(path) + QStringLiteral(": ") + reason;
    return result;
}
