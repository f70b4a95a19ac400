// File > "Export Web Quiz...": the dialog it asks, what it writes and says,
// and what it leaves alone when cancelled or refused.
#include "TestDoubles.h"
#include "webquiz/WebQuizExportAction.h"

#include <QApplication>
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QChar S(0xA9);
const QStringList kRecords = {QStringLiteral("t%1Is it?%1none%1 0").arg(S)};

int argc = 1;
char name[] = "test";
char *argv[] = {name, nullptr};
QApplication &app()
{
    static QApplication a(argc, argv);
    return a;
}
}

TEST(ExportWebQuizAction, AsksForAnHtmlFileBesideTheTestWritesItAndReports)
{
    app();
    ScopedPlatform platform;
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("europe.html"));
    platform.dialogs.answer(out);
    EXPECT_TRUE(WebQuizExportAction::run(QStringLiteral("T"), QStringLiteral("C"), kRecords, QString(),
                                         dir.filePath(QStringLiteral("europe.ard"))));
    ASSERT_EQ(platform.dialogs.requests.size(), 1);
    const FileDialogRequest &r = platform.dialogs.requests.first();
    EXPECT_EQ(r.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(r.fileName, QStringLiteral("europe.html"));
    EXPECT_EQ(r.defaultExt, QStringLiteral("html"));
    EXPECT_TRUE(r.overwritePrompt);
    EXPECT_TRUE(QFile::exists(out));
    ASSERT_EQ(platform.messages.shown.size(), 1);
    EXPECT_TRUE(platform.messages.shown[0].text.startsWith(QStringLiteral("The web quiz was written to ") + out));
    EXPECT_TRUE(platform.messages.shown[0].text.contains(QStringLiteral("The page is ")));
}

TEST(ExportWebQuizAction, CancelWritesNothing)
{
    app();
    ScopedPlatform platform;
    platform.dialogs.answer(QString());
    EXPECT_FALSE(WebQuizExportAction::run(QStringLiteral("T"), QStringLiteral("C"), kRecords, QString(), QString()));
    EXPECT_TRUE(platform.messages.shown.isEmpty());
}

TEST(ExportWebQuizAction, ATestWithoutQuestionsIsNotExported)
{
    app();
    ScopedPlatform platform;
    EXPECT_FALSE(WebQuizExportAction::run(QStringLiteral("T"), QStringLiteral("C"), {}, QString(), QString()));
    EXPECT_TRUE(platform.dialogs.requests.isEmpty());
    EXPECT_EQ(platform.messages.texts(), QStringList{QStringLiteral("There are no questions to export.")});
}

TEST(ExportWebQuizAction, AnUnwritablePlaceIsSaidAndTheOldPageStays)
{
    app();
    ScopedPlatform platform;
    QTemporaryDir dir;
    platform.dialogs.answer(dir.filePath(QStringLiteral("no/such/folder/q.html")));
    EXPECT_FALSE(WebQuizExportAction::run(QStringLiteral("T"), QStringLiteral("C"), kRecords, QString(), QString()));
    ASSERT_EQ(platform.messages.shown.size(), 1);
    EXPECT_TRUE(platform.messages.shown[0].text.startsWith(QStringLiteral("The web quiz could not be written to ")));
    EXPECT_EQ(platform.messages.shown[0].icon, MsgIcon::Critical);
}

TEST(ExportWebQuizAction, MenuEntryFollowsItsNeighbourAndItsState)
{
    app();
    QMenu menu;
    QAction *saveAs = menu.addAction(QStringLiteral("Save As"));
    QAction *exportAs = menu.addAction(QStringLiteral("Export As..."));
    QAction *print = menu.addAction(QStringLiteral("Print"));
    exportAs->setEnabled(false);
    int runs = 0;
    QAction *web = WebQuizExportAction::addToMenu(&menu, exportAs, [&runs] { ++runs; });
    EXPECT_EQ(menu.actions(), (QList<QAction *>{saveAs, exportAs, web, print}));
    EXPECT_EQ(web->text(), QStringLiteral("Export &Web Quiz..."));
    EXPECT_FALSE(web->isEnabled());
    exportAs->setEnabled(true);
    EXPECT_TRUE(web->isEnabled());
    web->trigger();
    EXPECT_EQ(runs, 1);
}

// A page over the warning size is asked about once, before any media file
// is read or converted (from the files' sizes), and Cancel writes nothing.
TEST(ExportWebQuizAction, ALargePageIsAskedAboutBeforeTheWork)
{
    app();
    ScopedPlatform platform;
    QTemporaryDir dir;
    QFile sound(dir.filePath(QStringLiteral("long.wav")));
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.write(QByteArray("RIFF\x24\0\0\0WAVE", 12));
    ASSERT_TRUE(sound.resize(60LL * 1024 * 1024));   // sparse: nothing to read until it is used
    sound.close();
    const QStringList records = {QStringLiteral("t%1Hear it?%1long.wav%1 0").arg(S)};
    const QString out = dir.filePath(QStringLiteral("big.html"));
    platform.dialogs.answer(out);
    platform.messages.answers.enqueue(MsgResult::Cancel);
    EXPECT_FALSE(WebQuizExportAction::run(QStringLiteral("T"), QStringLiteral("C"), records, dir.path() + '/', QString()));
    ASSERT_EQ(platform.messages.shown.size(), 1);
    EXPECT_TRUE(platform.messages.shown[0].text.startsWith(QStringLiteral("The page will be about 80.")))
        << platform.messages.shown[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}
