// File > "Export Web Quiz..." and "Export for Learning Platform...": the
// dialogs they ask, what they write and say, and what they leave alone when
// cancelled or refused.
#include "TestDoubles.h"
#include "MediaBytes.h"
#include "TestFiles.h"
#include "ToolRun.h"
#include "dialogs/dlgReport.h"
#include "exchange/FormatFilters.h"
#include "exchange/QuestionFormatRegistry.h"
#include "webquiz/PlatformExportAction.h"
#include "webquiz/WebQuizExportAction.h"
#include "webquiz/WebQuizFormat.h"
#include "webquiz/dlgPlatformExport.h"

#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSpinBox>
#include <QTimer>
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
    EXPECT_TRUE(WebQuizExportAction::run({QStringLiteral("T"), QStringLiteral("C"), kRecords, QString()},
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

// Cancelled, nothing to export, or an unwritable place: nothing is written,
// and what is said says why.
TEST(ExportWebQuizAction, CancelEmptyAndUnwritableWriteNothing)
{
    app();
    QTemporaryDir dir;
    const struct {
        const char *name;
        QStringList records;
        QString answer;
        QString said;
    } cases[] = {
        {"cancelled", kRecords, QString(), QString()},
        {"no questions", {}, QString(), QStringLiteral("There are no questions to export.")},
        {"unwritable", kRecords, dir.filePath(QStringLiteral("no/such/folder/q.html")),
         QStringLiteral("The web quiz could not be written to ")},
    };
    for (const auto &c : cases) {
        ScopedPlatform platform;
        platform.dialogs.answer(c.answer);
        EXPECT_FALSE(WebQuizExportAction::run({QStringLiteral("T"), QStringLiteral("C"), c.records, QString()}, QString()))
            << c.name;
        EXPECT_EQ(platform.dialogs.requests.size(), c.records.isEmpty() ? 0 : 1) << c.name;
        EXPECT_EQ(platform.messages.shown.size(), c.said.isEmpty() ? 0 : 1) << c.name;
        if (!c.said.isEmpty()) {
            EXPECT_TRUE(platform.messages.shown[0].text.startsWith(c.said)) << c.name;
            EXPECT_EQ(platform.messages.shown[0].icon, c.records.isEmpty() ? MsgIcon::Information : MsgIcon::Critical) << c.name;
        }
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// A page over the warning size is asked about once, before any media file
// is read or converted (from the files' sizes), and Cancel writes nothing.
TEST(ExportWebQuizAction, ALargePageIsAskedAboutBeforeTheWork)
{
    app();
    ScopedPlatform platform;
    QTemporaryDir dir;
    QFile sound(writeBytes(dir.filePath(QStringLiteral("long.wav")), mediaBytes("long.wav")));
    ASSERT_TRUE(sound.resize(60LL * 1024 * 1024));   // sparse: nothing to read until it is used
    const QStringList records = {QStringLiteral("t%1Hear it?%1long.wav%1 0").arg(S)};
    const QString out = dir.filePath(QStringLiteral("big.html"));
    platform.dialogs.answer(out);
    platform.messages.answers.enqueue(MsgResult::Cancel);
    EXPECT_FALSE(WebQuizExportAction::run({QStringLiteral("T"), QStringLiteral("C"), records, dir.path() + '/'}, QString()));
    ASSERT_EQ(platform.messages.shown.size(), 1);
    EXPECT_TRUE(platform.messages.shown[0].text.startsWith(QStringLiteral("The page will be about 80.")))
        << platform.messages.shown[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

// File > "Export for Learning Platform...": the pass mark and version asked
// first, then the zip's name; the package made with them and reported.
// Export As... with a version's filter asks only the pass mark.
TEST(ExportForLearningPlatform, AsksPassMarkAndVersionThenWritesThePackage)
{
    app();
    WebQuizFormat::registerFormat();
    QTemporaryDir dir;
    struct Case {
        const char *name;
        bool viaExportAs;
        int passMark;
        bool chooseVersion2004;
        const char *expectedMark;   // as the manifest states it
    };
    const Case cases[] = {
        {"menu item, SCORM 2004", false, 70, true, "<imsss:minNormalizedMeasure>0.7</imsss:minNormalizedMeasure>"},
        {"menu item, SCORM 1.2", false, 55, false, "<adlcp:masteryscore>55</adlcp:masteryscore>"},
        {"Export As, SCORM 1.2 filter", true, 40, false, "<adlcp:masteryscore>40</adlcp:masteryscore>"},
        // "none" (below 0): the score alone, no mastery score at all.
        {"menu item, no pass mark", false, -1, false, "<item identifier=\"ITEM-1\" identifierref=\"RES-1\">"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScopedPlatform platform;
        const QString out = dir.filePath(QString::fromLatin1(c.name).replace(QLatin1Char(' '), QLatin1Char('_')) + QStringLiteral(".zip"));
        platform.dialogs.answer(out);
        bool versionShown = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<dlgPlatformExport *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto *mark = dialog->findChild<QSpinBox *>(QStringLiteral("spnPassMark"));
            auto *version = dialog->findChild<QComboBox *>(QStringLiteral("cboVersion"));
            versionShown = version->isVisible();
            mark->setValue(c.passMark);
            version->setCurrentIndex(c.chooseVersion2004 ? 1 : 0);
            dialog->accept();
        });
        const ExportSource test{QStringLiteral("T"), QStringLiteral("C"), kRecords, QString()};
        if (c.viaExportAs)
            EXPECT_TRUE(PlatformExportAction::handlesExportAs(
                out, test, *QuestionFormatRegistry::instance().byShortName(QStringLiteral("scorm12"))));
        else
            EXPECT_TRUE(PlatformExportAction::run(test, dir.filePath(QStringLiteral("europe.ard"))));
        EXPECT_EQ(versionShown, !c.viaExportAs);
        if (!c.viaExportAs) {
            ASSERT_EQ(platform.dialogs.requests.size(), 1);
            EXPECT_EQ(platform.dialogs.requests[0].fileName, c.chooseVersion2004 ? QStringLiteral("europe (SCORM 2004).zip")
                                                                                 : QStringLiteral("europe (SCORM 1.2).zip"));
            EXPECT_EQ(platform.dialogs.requests[0].defaultExt, QStringLiteral("zip"));
        }
        const ToolRun manifest = runProgram(QStringLiteral("python3"),
                                            {QStringLiteral("-c"),
                                             QStringLiteral("import sys, zipfile\n"
                                                            "sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read('imsmanifest.xml'))"),
                                             out});
        EXPECT_TRUE(manifest.out.contains(c.expectedMark)) << manifest.out.constData() << manifest.err.constData();
        EXPECT_EQ(manifest.out.contains("masteryscore") || manifest.out.contains("minNormalizedMeasure"), c.passMark >= 0);
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *report = qobject_cast<dlgReport *>(w))
                delete report;
    }
    // Export As: the chosen filter decides the version of a ".zip".
    const FormatFilters filters(QuestionFormat::Write);
    for (const char *version : {"scorm12", "scorm2004"}) {
        int index = 0;
        while (filters.formatAt(index) == nullptr || filters.formatAt(index)->shortName() != QLatin1String(version))
            ASSERT_LT(++index, 50);
        EXPECT_EQ(filters.formatFor(index, QStringLiteral("quiz.zip"))->shortName(), QLatin1String(version));
    }
}
