// The recent-files list, and score logs read as text.
#include "document/RecentFiles.h"
#include "document/ScoreLog.h"
#include "platform/SettingsStore.h"
#include "NonRegularFiles.h"
#include "TestDoubles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(RecentFiles, NewestFirstFourEntriesAndDuplicatesByTheSystemsLetterCase)
{
    RecentFiles list;
    EXPECT_EQ(list.entry(1), QStringLiteral("untitled"));
    EXPECT_FALSE(list.isUsed(1));
    for (const char *p : {"/t/a.ard", "/t/b.ard", "/t/c.ard", "/t/d.ard", "/t/e.ard"})
        EXPECT_TRUE(list.add(QString::fromLatin1(p)));
    const QStringList expected{"/t/e.ard", "/t/d.ard", "/t/c.ard", "/t/b.ard"};
    auto entries = [&] {
        QStringList e;
        for (int i = 1; i <= 4; ++i) e << list.entry(i);
        return e;
    };
    EXPECT_EQ(entries(), expected);
    EXPECT_FALSE(list.add(QStringLiteral("/t/c.ard")));   // not moved to the top either
    EXPECT_FALSE(list.add(QString()));
    EXPECT_EQ(entries(), expected);
    // Another letter case is another file where file names keep it: on
    // Linux, a fact of the system, not a value to ask the code under test.
#ifdef Q_OS_LINUX
    EXPECT_EQ(RecentFiles::pathCase(), Qt::CaseSensitive);
    EXPECT_TRUE(list.add(QStringLiteral("/T/C.ARD")));
#else
    EXPECT_EQ(list.add(QStringLiteral("/T/C.ARD")), RecentFiles::pathCase() == Qt::CaseSensitive);
#endif

    RecentFiles two;
    two.add(QStringLiteral("/x/Mixed Case.ard"));
    EXPECT_TRUE(two.isUsed(1));
    EXPECT_FALSE(two.isUsed(2));
    EXPECT_FALSE(RecentFiles::isUsed(QStringLiteral("UNTITLED")));
}

namespace {
QByteArray scrLog(QByteArray plain)
{
    for (char &c : plain)
        c = char(c ^ 0xB6);
    return plain;
}
}

TEST(ScoreLog, LinesEndAtCrOrCrLfAndEachShowsWithCrLf)
{
    const QByteArray a = scrLog("Ann 80%"), b = scrLog("Bob \x80 5");
    const QString ab = QStringLiteral("Ann 80%\r\nBob \u20AC 5\r\n");
    const struct { const char *name; QByteArray bytes; QString text; } cases[] = {
        {"empty", "", ""},
        {"CR LF", a + "\r\n" + b + "\r\n", ab},
        {"no final end", a + "\r\n" + b, ab},
        {"lone CR", a + "\r" + b + "\r", ab},
        {"empty line", a + "\r\n\r\n" + b, QStringLiteral("Ann 80%\r\n\r\nBob \u20AC 5\r\n")},
        {"lone LF", a + "\n" + b, QStringLiteral("Ann 80%\u00BCBob \u20AC 5\r\n")},
        {"only an end", "\r\n", QStringLiteral("\r\n")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ScoreLog::textFromBytes(c.bytes), c.text) << c.name;
    EXPECT_TRUE(ScoreLog::readText(QStringLiteral("/no/such.log")).isEmpty());
}

TEST(ScoreLog, ExportTrimsOnlySpacesOfTheWholeText)
{
    EXPECT_EQ(ScoreLog::exportBytes(QStringLiteral("  Ann  \r\n  Bob \u20AC \r\n  ")),
              QByteArray("Ann  \r\n  Bob \x80 \r\n\r\n"));
    EXPECT_EQ(ScoreLog::exportBytes(QStringLiteral("\r\n a \t")), QByteArray("\r\n a \t\r\n"));
    EXPECT_EQ(ScoreLog::exportBytes(QString()), QByteArray("\r\n"));
}
