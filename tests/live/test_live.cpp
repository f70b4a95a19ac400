// The live class without a network: the key kept back from the page (a
// damaged question keeps the frame and right answer before it, as the page
// shows it), the journal after a crash, and which names are taken.

#include "live/LiveClass.h"
#include "live/LiveJournal.h"
#include "platform/OutputFolder.h"
#include "webquiz/LiveAnswerKey.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
QJsonObject question(const char *kind, int correct, bool tooFew = false)
{
    return {{"kind", kind}, {"correct", correct}, {"tooFew", tooFew}};
}
}

TEST(LiveAnswerKey, TakesEveryRightAnswerOutOfThePage)
{
    QJsonObject quiz{{"questions", QJsonArray{question("t", 1), question("x", 3), question("m", 2, true),
                                              question("m", 3), question("m", 7), question("t", 0)}}};
    const QList<LiveQuestionKey> key = LiveAnswerKey::takeFrom(quiz);
    const struct {
        bool trueFalse;
        const char *right;
    } expected[] = {{true, "False"}, {true, "False"}, {false, "B"}, {false, "D"}, {false, "?"}, {true, "True"}};
    ASSERT_EQ(key.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(key[i].trueFalse, expected[i].trueFalse) << i;
        EXPECT_EQ(key[i].right, QString::fromLatin1(expected[i].right)) << i;
        EXPECT_FALSE(quiz["questions"].toArray()[i].toObject().contains("correct")) << i;
    }
    EXPECT_TRUE(key[0].accepts("True"));
    EXPECT_FALSE(key[0].accepts("A"));
    EXPECT_TRUE(key[3].accepts("D"));
    EXPECT_FALSE(key[3].accepts("d"));
}

TEST(LiveJournal, ALineCutShortByACrashIsLeftOutAndTheNextStartsAfreshLine)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(LiveJournal::FileName));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\"e\":\"class\",\"code\":\"abc\"}\n{\"e\":\"join\",\"t\":\"12");
    f.close();
    OutputFolder folder(dir.path());
    {
        LiveJournal journal;
        QList<QJsonObject> entries;
        QString reason;
        ASSERT_TRUE(journal.open(folder, &entries, &reason)) << reason.toStdString();
        ASSERT_EQ(entries.size(), 1);
        EXPECT_TRUE(journal.waitDurable(journal.add({{"e", "port"}, {"port", 8080}})));
    }
    LiveJournal again;
    QList<QJsonObject> entries;
    QString reason;
    ASSERT_TRUE(again.open(folder, &entries, &reason));
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[1]["port"].toInt(), 8080);
    EXPECT_EQ(QFile(dir.filePath(LiveJournal::FileName)).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
}

TEST(LiveJournal, NeverOpensThroughALink)
{
    QTemporaryDir dir, elsewhere;
    const QString target = elsewhere.filePath("secret");
    QFile(target).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(target, dir.filePath(LiveJournal::FileName)));
    LiveJournal journal;
    QList<QJsonObject> entries;
    QString reason;
    EXPECT_FALSE(journal.open(OutputFolder(dir.path()), &entries, &reason));
    EXPECT_EQ(reason, QStringLiteral("a symbolic link"));
}

TEST(LiveClass, NamesTakenAndRefused)
{
    for (const char16_t *good : {u"Anna", u"Anna B.", u"Zoë O'Brien-Łukasz", u"李小龍", u"J. R. R. Tolkien"})
        EXPECT_EQ(LiveClass::nameProblem(QString::fromUtf16(good)), QString()) << QString::fromUtf16(good).toStdString();
    for (const char16_t *bad : {u"", u"   ", u"Anna\nB", u"Anna\u202eB", u"\u200fAnna", u"a/b", u"a\\b", u"A\u2028B",
                                u"\u200bAnna"})
        EXPECT_NE(LiveClass::nameProblem(QString::fromUtf16(bad)), QString()) << QString::fromUtf16(bad).toStdString();
    EXPECT_NE(LiveClass::nameProblem(QString(101, QLatin1Char('x'))), QString());
    EXPECT_NE(LiveClass::nameProblem(QStringLiteral("a") + QChar(0) + QStringLiteral("b")), QString());
}
