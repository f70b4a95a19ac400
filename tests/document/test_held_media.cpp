// Where imported media wait until their test is saved: a private folder per
// editor, kept while its editor runs or a recovery copy names a file in it,
// removed after that; a restored copy's editor takes the folder over.
#include "document/HeldMedia.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {
QString heldFile(HeldMedia &held, const QString &name)
{
    QString error;
    const QString folder = held.folder(&error);
    EXPECT_FALSE(folder.isEmpty()) << error.toStdString();
    const QString path = QDir(folder).filePath(name);
    writeBytes(path, "BM picture");
    return path;
}
}

TEST(HeldMedia, FoldersStayWhileTheirEditorRunsOrACopyNamesThem)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("held-media");
    HeldMedia running(root);
    const QString runningFile = heldFile(running, "a.bmp");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(QFileInfo(runningFile).path()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(running.holds(runningFile));
    EXPECT_FALSE(running.holds(dir.filePath("elsewhere/a.bmp")));

    QString named, dropped;
    {
        HeldMedia ended1(root), ended2(root);
        named = heldFile(ended1, "named.bmp");
        dropped = heldFile(ended2, "dropped.bmp");
        EXPECT_NE(QFileInfo(named).path(), QFileInfo(dropped).path());
    }
    HeldMedia starting(root);
    starting.removeUnreferenced({named});
    EXPECT_TRUE(QFileInfo::exists(runningFile));    // its editor runs
    EXPECT_TRUE(QFileInfo::exists(named));          // a recovery copy names it
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(dropped).path()));

    // The editor that restores the copy takes its folder over: another
    // editor starting now leaves it alone, whatever it knows.
    starting.adoptFolderOf(named);
    QString error;
    EXPECT_EQ(starting.folder(&error), QFileInfo(named).path());
    HeldMedia another(root);
    another.removeUnreferenced({});
    EXPECT_TRUE(QFileInfo::exists(named));
}

// A link put into an ended editor's folder (to a teacher's own file) is
// never followed: removing the folder leaves the file it leads to, and the
// folder with the link in it stays.
TEST(HeldMedia, ALinkInsideAnEndedFolderIsNeverFollowed)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("held-media");
    const QString own = writeBytes(dir.filePath("thesis.odt"), "years of work");
    QString ended;
    {
        HeldMedia editor(root);
        ended = QFileInfo(heldFile(editor, "a.bmp")).path();
    }
    ASSERT_TRUE(QFile::link(own, QDir(ended).filePath("b.bmp")));
    HeldMedia(root).removeUnreferenced({});
    EXPECT_EQ(readBytes(own), "years of work");
    EXPECT_TRUE(QFileInfo(QDir(ended).filePath("b.bmp")).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(QDir(ended).filePath("a.bmp")));
}
