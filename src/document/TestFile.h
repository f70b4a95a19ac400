#pragma once
// The .ard test file the quiz player reads: Windows-1252 text, CR LF lines, a
// scrambled header (title, separator, class/teacher line), one scrambled
// record per question, and one more CR LF at the end.

#include "document/TestDocument.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class OpenFile;

// A test file as read, before it replaces anything in memory.
struct LoadedTest {
    QString title;
    QString teacher;
    QStringList records;   // questions 1 to N
    // Its language and media descriptions, from the companion file beside it.
    TestCompanion companion;
};

struct TestReadResult {
    std::optional<LoadedTest> test;
    QString error;         // when test is empty: a message naming the file and the problem
    // The test was read, but the companion file beside it was not used: a
    // message naming that file and why ("" when it was, or there is none).
    QString companionNotice;
};

// Parses the bytes of a test file. An empty file, a header without a field
// separator, a question line without one, or more than 100 questions are
// refused with a reason (fileName names the file in the message).
TestReadResult parseTestBytes(const QByteArray &bytes, const QString &fileName);
// The test file and the companion file beside it.
TestReadResult readTestFile(const QString &path);

// Replaces the document's records, language and descriptions with the
// loaded ones (N + 1 becomes the question count). The current file and test
// folder are the callers' business.
void applyLoadedTest(TestDocument &doc, const LoadedTest &test);

// Read and apply in one step; the document is untouched on failure.
TestReadResult LoadTest(TestDocument &doc, const QString &path);

// The exact bytes of a test file for these texts and records.
QByteArray testFileBytes(const QString &title, const QString &teacher, const QStringList &records);

// A short name of one version of a test: the first 12 hex digits of the
// SHA-256 of its file's bytes. Results name the test they belong to by it,
// and the web page keeps an attempt under it.
QString testIdentity(const QString &title, const QString &teacher, const QStringList &records);

// The distinct characters of text that a test file cannot hold and that a
// save writes as '?': those outside Windows-1252, and U+0010, which the
// scrambling would turn into a line end. SaveTest names them and asks first.
QString unstorableInTestFile(const QString &text);

// Those characters, each once, as a teacher can read them: "Ж U+0010"
// (invisible ones by their code); "" when there are none.
QString unstorableCharactersNamed(const QString &text);

// The warning that names those characters ("These characters cannot be stored
// in an Ardeno test ..."), or "" when there are none. The save asks with it;
// imports report it.
QString unstorableCharactersNotice(const QString &text);

struct SaveOptions {
    // The teacher was shown lossyCharacters and saves anyway.
    bool acceptLossyCharacters = false;
    // Runs once per question to keep a window responsive while media is copied.
    std::function<void()> pumpEvents;
};

struct SaveResult {
    enum class Status {
        Saved,
        FieldsMissing,     // the title or the class/teacher line is empty: nothing written
        LossyCharacters,   // lossyCharacters names what would be lost: nothing written
        Failed,            // errorDescription names the file and the system's reason
    };
    Status status = Status::Failed;
    QString errorDescription;
    QString lossyCharacters;   // unstorableCharactersNotice of the whole test
    // Saved: the records as written, each media reference that travelled
    // made the bare name of its copy beside the test.
    QStringList records;
    // Media that did not travel, each "file: reason" (also when saved).
    QStringList notCopied;
    bool saved() const { return status == Status::Saved; }
    // The system's message for a result that is not Saved (for
    // LossyCharacters the question whether to save anyway), and the one
    // message naming every file in notCopied ("" when there are none).
    QString message() const;
    QString notCopiedMessage() const;
};

// Writes the document to path, showing nothing: the caller tells the teacher
// what the result says. Refused when the title or the class/teacher line is
// empty, or (unless options accept them) when the test holds characters a
// test file cannot hold. Copies each question's media file (regular files of
// a media kind only) into the test's folder, as the quiz player finds media
// next to the test; the result's records name the copies. The file is
// replaced atomically, and the document is not touched: the caller gives it
// the saved records, so a failed save changes nothing. The companion file
// beside it follows the saved test: written when the test has a language or
// a description, removed when it has none; one that cannot be written is
// named in notCopied.
SaveResult SaveTest(const TestDocument &doc, const QString &path, const SaveOptions &options = {});

// Copies one file with the shell; on failure returns false with the
// system's reason. SaveTest gathers the failures into one "Error occurred!"
// message (title "SHCOPY") that names each file and its reason.
bool ShellCopyFile(const OpenFile &source, const QString &target, QString *reason = nullptr);
