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

// A test file as read, before it replaces anything in memory.
struct LoadedTest {
    QString title;
    QString teacher;
    QStringList records;   // questions 1 to N
};

struct TestReadResult {
    std::optional<LoadedTest> test;
    QString error;         // when test is empty: a message naming the file and the problem
};

// Parses the bytes of a test file. An empty file, a header without a field
// separator, a question line without one, or more than 100 questions are
// refused with a reason (fileName names the file in the message).
TestReadResult parseTestBytes(const QByteArray &bytes, const QString &fileName);
TestReadResult readTestFile(const QString &path);

// Replaces the document's records with the loaded ones (N + 1 becomes
// the question count). The current file and test folder are the callers' business.
void applyLoadedTest(TestDocument &doc, const LoadedTest &test);

// Read and apply in one step; the document is untouched on failure.
TestReadResult LoadTest(TestDocument &doc, const QString &path);

// The exact bytes of a test file for these texts and records.
QByteArray testFileBytes(const QString &title, const QString &teacher, const QStringList &records);

// The distinct characters of text that a test file cannot hold and that a
// save writes as '?': those outside Windows-1252, and U+0010, which the
// scrambling would turn into a line end. SaveTest names them and asks first.
QString unstorableInTestFile(const QString &text);

// The warning that names those characters ("These characters cannot be stored
// in an Ardeno test ..."), or "" when there are none. The save asks with it;
// imports report it.
QString unstorableCharactersNotice(const QString &text);

struct SaveResult {
    enum class Status { Saved, Refused, Failed };
    Status status = Status::Failed;
    QString errorDescription;   // for Failed
    bool saved() const { return status == Status::Saved; }
};

// Writes the document to path. Refuses (with the user told why) when the title
// or the class/teacher line is empty, or when the user cancels the warning
// about characters a test file cannot hold. Copies each question's media file
// (regular files of a media kind only) into the test's folder and rewrites its
// reference to the bare name once the copy is complete, as the quiz player
// finds media next to the test; copies that fail or are refused keep their
// reference and are listed in one message. The file is replaced atomically,
// and the document takes the new records only when the test was written, so
// a failed save changes nothing. errorDescription then names the file and the
// system's reason. pumpEvents runs once per question to keep a window
// responsive while media is copied.
SaveResult SaveTest(TestDocument &doc, const QString &path, const QString &title,
                    const QString &teacher, const std::function<void()> &pumpEvents = {});

// Copies one file with the shell; on failure returns false with the
// system's reason. SaveTest gathers the failures into one "Error occurred!"
// message (title "SHCOPY") that names each file and its reason.
bool ShellCopyFile(const QString &source, const QString &target, QString *reason = nullptr);
