// The checked writes seen from the target folder: the target is replaced
// whole or not at all, keeps its permissions, and no temporary file is left
// behind, whether the writer finishes, gives up or meets a full disk.

#include "FileSizeLimit.h"
#include "platform/CheckedFile.h"
#include "platform/CheckedFileStream.h"
#include "platform/SourceFolder.h"
#include "platform/StagedFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr QFile::Permissions kOwnerAndGroupRead =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup;

class CheckedWrites : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString target = dir.filePath("movie.avi");
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    void SetUp() override
    {
        writeBytes(target, "previous");
        QFile::setPermissions(target, kOwnerAndGroupRead);
    }
};
}

TEST_F(CheckedWrites, AStreamThatGoesBackShowsOnlyTheFinishedFile)
{
    CheckedFileStream out(target);
    ASSERT_TRUE(out.open());
    ASSERT_TRUE(out.write("size????data"));
    ASSERT_TRUE(out.seek(4) && out.write("0012") && out.seek(12) && out.write("!"));
    EXPECT_EQ(readBytes(target), "previous");
    ASSERT_TRUE(out.commit()) << qPrintable(out.errorString());
    EXPECT_EQ(readBytes(target), "size0012data!");
    EXPECT_EQ(QFile::permissions(target), kOwnerAndGroupRead);
    EXPECT_EQ(files(), QStringList{"movie.avi"});

    {
        CheckedFileStream dropped(target);
        ASSERT_TRUE(dropped.open());
        ASSERT_TRUE(dropped.write("never committed"));
    }
    EXPECT_EQ(readBytes(target), "size0012data!");
    EXPECT_EQ(files(), QStringList{"movie.avi"});
}

TEST_F(CheckedWrites, AStreamOntoAFullDiskKeepsThePreviousFile)
{
    CheckedFileStream out(target);
    ASSERT_TRUE(out.open());
    bool written = true;
    {
        FileSizeLimit limit(64 * 1024);
        const QByteArray chunk(10000, 'x');
        for (int i = 0; i < 10 && written; ++i)
            written = out.write(chunk);
        written = written && out.seek(0) && out.write("head") && out.commit();
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(out.errorString(), QStringLiteral("File too large"));
    EXPECT_FALSE(out.write("more"));
    EXPECT_FALSE(out.commit());
    EXPECT_EQ(readBytes(target), "previous");
    EXPECT_EQ(files(), QStringList{"movie.avi"});
}

TEST_F(CheckedWrites, AWriterByNameReplacesTheTargetOnlyOnCommit)
{
    {
        StagedFile dropped(target);
        ASSERT_TRUE(dropped.create());
        // The writer is given the temporary file beside the target itself.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
        writeBytes(dropped.path(), "dropped");
    }
    EXPECT_EQ(readBytes(target), "previous");
    EXPECT_EQ(files(), QStringList{"movie.avi"});

    StagedFile staged(target);
    ASSERT_TRUE(staged.create());
    writeBytes(staged.path(), "new");
    ASSERT_TRUE(staged.commit()) << qPrintable(staged.errorString());
    EXPECT_EQ(readBytes(target), "new");
    EXPECT_EQ(QFile::permissions(target), kOwnerAndGroupRead);
    EXPECT_EQ(files(), QStringList{"movie.avi"});

    StagedFile nowhere(dir.filePath("no/such/folder/x.pdf"));
    EXPECT_FALSE(nowhere.create());
    EXPECT_EQ(nowhere.errorString(), QStringLiteral("No such file or directory"));
}

// Outputs never replace what is not a regular file: a link to a device, a
// pipe, a folder stay what they were, whichever writer is asked, and the
// reason names the kind.
TEST_F(CheckedWrites, WhatIsNotARegularFileIsNeverReplaced)
{
    ASSERT_TRUE(QFile::link("/dev/null", dir.filePath("null.csv")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.csv")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.csv"));
    const struct {
        const char *name;
        const char *reason;
    } targets[] = {{"null.csv", "not a regular file (a device)"},
                   {"pipe.csv", "not a regular file (a pipe)"},
                   {"folder.csv", "not a regular file (a folder)"}};
    for (const auto &t : targets) {
        SCOPED_TRACE(t.name);
        const QString path = dir.filePath(t.name);
        QString reason;
        EXPECT_FALSE(CheckedFile::write(path, "bytes", &reason));
        EXPECT_EQ(reason, QString(t.reason));
        StagedFile staged(path);
        EXPECT_FALSE(staged.create());
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("null.csv")).isSymLink());
    EXPECT_FALSE(QFileInfo(dir.filePath("pipe.csv")).isFile());
    EXPECT_TRUE(QFileInfo(dir.filePath("folder.csv")).isDir());
    // No temporary file left beside them.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot).size(), 4);
}

// Nothing is ever written through a link at the output's name: a dangling
// link planted there (leading to a file the victim's shell would run) is
// replaced itself by every replacing writer, and a writer of new files only
// finds the name taken.
TEST_F(CheckedWrites, NothingIsWrittenThroughALinkAtTheName)
{
    const QString victim = dir.filePath("home/.bash_aliases");
    QDir(dir.path()).mkdir("home");
    const QString planted = dir.filePath("logo.bmp");
    const struct {
        const char *writer;
        std::function<bool(QString *)> write;
        bool replacesTheLink;
    } writers[] = {
        {"write", [&](QString *why) { return CheckedFile::write(planted, "BM", why); }, true},
        {"staged", [&](QString *why) {
             StagedFile staged(planted);
             const bool ok = staged.create() && !writeBytes(staged.path(), "BM").isEmpty() && staged.commit();
             *why = staged.errorString();
             return ok;
         }, true},
        {"new only", [&](QString *why) { return CheckedFile::write(planted, "BM", why, CheckedFile::Mode::NewOnly); }, false},
    };
    for (const auto &w : writers) {
        SCOPED_TRACE(w.writer);
        QFile::remove(planted);
        ASSERT_TRUE(QFile::link(victim, planted));
        QString why;
        EXPECT_EQ(w.write(&why), w.replacesTheLink) << qPrintable(why);
        EXPECT_FALSE(QFile::exists(victim));
        EXPECT_EQ(QFileInfo(planted).isSymLink(), !w.replacesTheLink);
        if (!w.replacesTheLink) {
            EXPECT_EQ(why, QStringLiteral("File exists"));
        }
    }
}

// Every creating and opening call of the file layer, called directly, on
// the names an attacker sharing the folder can prepare: an existing file is
// kept, a link is never followed (its target is never made), a pipe is
// refused without waiting for a writer.
TEST(FileLayer, EveryCreatingAndOpeningCallOnWhatANameMayHold)
{
    QTemporaryDir dir, elsewhere;
    const QString victim = elsewhere.filePath("victim");
    const OutputFolderPtr folder = OutputFolder::open(dir.path());
    const auto prepare = [&](const QString &name, const char *held) {
        const QString path = dir.filePath(name);
        if (QByteArray(held) == "file")
            writeBytes(path, "kept");
        else if (QByteArray(held) == "link")
            QFile::link(victim, path);
        else if (QByteArray(held) == "fifo")
            ::mkfifo(QFile::encodeName(path).constData(), 0600);
    };
    struct Call {
        const char *name;
        std::function<bool(const QString &name)> succeeds;
    };
    const Call calls[] = {
        {"createNew", [&](const QString &n) { QString why; const int fd = folder->createNew(n, 0600, &why); if (fd >= 0) ::close(fd); return fd >= 0; }},
        {"openOwnFile", [&](const QString &n) { QString why; const int fd = folder->openOwnFile(n, &why); if (fd >= 0) ::close(fd); return fd >= 0; }},
        {"openEntry", [&](const QString &n) { return folder->openEntry(n) != nullptr; }},
        {"readSmall", [&](const QString &n) { return !folder->readSmall(n, 100).isEmpty(); }},
        {"CheckedFile NewOnly", [&](const QString &n) { return CheckedFile::write(folder, n, "new", nullptr, CheckedFile::Mode::NewOnly); }},
        {"SourceFolder::open", [&](const QString &n) { return SourceFolder(dir.path()).open(n).outcome == SourceFolder::Outcome::Opened; }},
    };
    const struct {
        const char *held;
        bool createNew, openOwnFile, openEntry, readSmall, checkedNew, sourceOpen;
    } cases[] = {
        {"nothing", true, true, false, false, true, false},
        {"file", false, true, true, true, false, true},
        {"link", false, false, false, false, false, false},
        {"fifo", false, false, false, false, false, false},
    };
    int n = 0;
    for (const auto &c : cases) {
        const bool expected[] = {c.createNew, c.openOwnFile, c.openEntry, c.readSmall, c.checkedNew, c.sourceOpen};
        for (int i = 0; i < int(std::size(calls)); ++i) {
            const QString name = QStringLiteral("entry%1").arg(n++);
            prepare(name, c.held);
            EXPECT_EQ(calls[i].succeeds(name), expected[i]) << calls[i].name << " on " << c.held;
            EXPECT_FALSE(QFileInfo::exists(victim)) << calls[i].name << " made the link's target";
            if (QByteArray(c.held) == "file") {
                EXPECT_EQ(readBytes(dir.filePath(name)), QByteArray("kept")) << calls[i].name << " wrote over a file";
            }
        }
    }
    // A rename that keeps what is there never replaces it.
    prepare("from", "file");
    prepare("to", "link");
    QString why;
    EXPECT_FALSE(folder->rename("from", "to", true, &why));
    EXPECT_TRUE(QFileInfo(dir.filePath("to")).isSymLink());
}
