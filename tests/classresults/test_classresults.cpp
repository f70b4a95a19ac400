// Class results: result logs read or refused with their reason, the item
// analysis against a class worked out by hand, and the CSV as a spreadsheet
// reads it (the table's order and filter: the window's test).

#include "ClassLogs.h"
#include "TestFiles.h"
#include "ToolRun.h"
#include "classresults/ClassExport.h"
#include "classresults/ClassLoader.h"
#include "classresults/ClassResults.h"
#include "classresults/ClassTest.h"
#include "document/TestFile.h"
#include "classresults/ClassTableModel.h"
#include "classresults/ItemAnalysis.h"
#include "classresults/ItemAnalysisModel.h"
#include "classresults/ResultLog.h"
#include "classresults/ResultLogText.h"
#include "document/LineCodec.h"
#include "document/ScoreLog.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QStringList kRight6 = {"A", "True", "C", "B", "D", "True"};

// Five students, six questions; the figures below are worked out by hand.
//            Q1 Q2    Q3 Q4 Q5 Q6     score  percent  seconds
// Ann        A  True  C  B  C  False  4      66       60
// Ben        A  True  C  D  C  True   4      66       120
// Cai        A  False B  B  C  False  2      33       90
// Dee        B  True  D  A  D  False  2      33       30
// Eve        B  False -  B  C  True   2      33       300
// Ranked by score (equal scores in the order opened): Ann, Ben, Cai, Dee,
// Eve; the top and bottom groups are one student each (27% of 5, rounded):
// Ann and Eve.
QList<LogSpec> handClass()
{
    return {
        {"Ann", {"A", "True", "C", "B", "C", "False"}, kRight6, 60},
        {"Ben", {"A", "True", "C", "D", "C", "True"}, kRight6, 120},
        {"Cai", {"A", "False", "B", "B", "C", "False"}, kRight6, 90},
        {"Dee", {"B", "True", "D", "A", "D", "False"}, kRight6, 30},
        {"Eve", {"B", "False", "-", "B", "C", "True"}, kRight6, 300},
    };
}

ResultRead parsed(const LogSpec &s)
{
    return ResultLog::parse(scrambled(logLines(s)), s.name + QStringLiteral(".log"));
}

ClassResults classOf(const QList<LogSpec> &specs)
{
    ClassResults c;
    for (const LogSpec &s : specs)
        c.add(parsed(s), s.name + QStringLiteral(".log"));
    return c;
}

QList<const StudentResult *> all(const ClassResults &c)
{
    QList<const StudentResult *> out;
    for (const StudentResult &r : c.results())
        out << &r;
    return out;
}
}

TEST(ResultLog, ReadsWhatTheWebQuizWrites)
{
    const ResultRead r = parsed({"Zoë Ng", {"B", "True"}, {"C", "True"}, 121, "2026-12-06 19:55:03"});
    ASSERT_EQ(r.outcome, ResultRead::Outcome::Result) << r.reason.toStdString();
    EXPECT_EQ(r.result.name, QStringLiteral("Zoë Ng"));
    EXPECT_EQ(r.result.title, QStringLiteral("Rivers"));
    EXPECT_EQ(r.result.testId, QStringLiteral("0123456789ab"));
    EXPECT_EQ(r.result.score, 1);
    EXPECT_EQ(r.result.total, 2);
    EXPECT_EQ(r.result.percent, 50);
    EXPECT_EQ(r.result.seconds, 121);
    EXPECT_EQ(r.result.date, QDateTime(QDate(2026, 12, 6), QTime(19, 55, 3)));
    EXPECT_EQ(r.result.given, (QStringList{"B", "True"}));
    EXPECT_FALSE(r.result.isRight(0));
    EXPECT_TRUE(r.result.isRight(1));

    LogSpec older{"Old", {"A"}, {"A"}};
    older.testId.clear();
    EXPECT_EQ(parsed(older).outcome, ResultRead::Outcome::Result);
}

TEST(ResultLog, TellsOtherLogsFromDamagedOnes)
{
    const QStringList good = logLines({"Ann", {"A", "B", "C"}, {"A", "B", "D"}});
    QStringList cut = good;
    cut.removeLast();
    QStringList longLine = good;
    longLine[4] += QString(5000, QLatin1Char('x'));
    QStringList badScore = good;
    badScore[6] = QStringLiteral("Score: 9 correct of 3 total questions.");
    QStringList badQuestion = good;
    badQuestion[9] = QStringLiteral("Question 1: answered Z, right answer A");
    // Logs that contradict themselves: a score, a percent its answers do
    // not hold, a time no attempt takes.
    QStringList claimsMore = good;
    claimsMore[6] = QStringLiteral("Score: 3 correct of 3 total questions.");
    QStringList wrongPercent = good;
    wrongPercent[7] = QStringLiteral("Percent: 90");
    QStringList endless = good;
    endless[8] = QStringLiteral("Time spent: 999999999 seconds");
    struct Case {
        const char *what;
        QByteArray bytes;
        ResultRead::Outcome outcome;
        const char *reason;
    };
    const Case cases[] = {
        {"a quiz player's score log", scrambled({"Score Sheet", "Anna  7 of 10"}), ResultRead::Outcome::NotAResult, ""},
        {"another key", scrambled(good, 0x5A), ResultRead::Outcome::Unreadable, "not scrambled as a score log is"},
        {"cut short", scrambled(cut), ResultRead::Outcome::Unreadable, "the file ends after question 2 of 3: it was not saved whole; ask for the result again"},
        {"a huge line", scrambled(longLine), ResultRead::Outcome::Unreadable, "longer than any result holds"},
        {"a score beyond its questions", scrambled(badScore), ResultRead::Outcome::Unreadable, "the score"},
        {"an answer no option names", scrambled(badQuestion), ResultRead::Outcome::Unreadable, "question 1 is not stated"},
        {"a score its answers do not hold", scrambled(claimsMore), ResultRead::Outcome::Unreadable,
         "its score says 3 right, but its answers hold 2"},
        {"a percent not its score's", scrambled(wrongPercent), ResultRead::Outcome::Unreadable, "its percent (90) is not its score's (66)"},
        {"an impossible time", scrambled(endless), ResultRead::Outcome::Unreadable, "more than any attempt takes"},
        {"empty", QByteArray(), ResultRead::Outcome::Unreadable, "empty"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ResultRead r = ResultLog::parse(c.bytes, QStringLiteral("x.log"));
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_TRUE(r.reason.contains(QLatin1String(c.reason))) << r.reason.toStdString();
    }
}

TEST(ResultLog, RefusesPipesAndHugeFilesWithoutReadingThem)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.log"));
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_TRUE(ResultLog::read(fifo).reason.contains(QStringLiteral("not a regular file")));
    const QString huge = dir.filePath(QStringLiteral("huge.log"));
    QFile f(huge);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(ResultLog::MaxBytes + 1));
    f.close();
    EXPECT_TRUE(ResultLog::read(huge).reason.startsWith(QStringLiteral("larger than any result")));
}

TEST(ItemAnalysis, FiguresOfAClassWorkedOutByHand)
{
    const ClassResults c = classOf(handClass());
    const ClassFigures f = ItemAnalysis::analyse(all(c), 6);
    EXPECT_EQ(f.students, 5);
    EXPECT_EQ(f.groupSize, 1);
    EXPECT_EQ(f.topGroup, QStringList({"Ann", "Ben"}));
    EXPECT_EQ(f.bottomGroup, QStringList({"Cai", "Dee", "Eve"}));
    ItemAnalysisModel model;
    model.setFigures(f);   // the window names them over the column
    EXPECT_EQ(model.headerData(ItemAnalysisModel::Discrimination, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("Top group: Ann, Ben. Bottom group: Cai, Dee, Eve. "
                             "Students tied at a group's last place share it."));
    // Whatever the order the logs were opened in.
    QList<const StudentResult *> reversed = all(c);
    std::reverse(reversed.begin(), reversed.end());
    const ClassFigures r = ItemAnalysis::analyse(reversed, 6);
    for (int q = 0; q < 6; ++q)
        EXPECT_NEAR(r.questions[q].discrimination, ItemAnalysis::analyse(all(c), 6).questions[q].discrimination, 1e-9);
    // The groups are the 27 % nearest: 1.62 of six students is two, 2.7 of
    // ten is three, 0.27 of one is one.
    EXPECT_EQ((QList<int>{ItemAnalysis::groupSize(6), ItemAnalysis::groupSize(10), ItemAnalysis::groupSize(1)}),
              (QList<int>{2, 3, 1}));
    struct Expected {
        double facility;
        const char *wrong;
        double wrongShare;
        int unanswered;
        double discrimination;
        const char *concern;
    };
    // Scores 4 4 2 2 2: the top place is shared by Ann and Ben (a half
    // each), the bottom one by Cai, Dee and Eve (a third each).
    const Expected expected[] = {
        {0.6, "B", 0.4, 0, 1 - 1 / 3.0, ""},       // top both right, bottom Cai alone
        {0.6, "False", 0.4, 0, 1 - 1 / 3.0, ""},   // bottom Dee alone
        {0.4, "B", 0.2, 1, 1, ""},                 // B and D once each: B comes first
        {0.6, "A", 0.2, 0, 0.5 - 2 / 3.0, "the weaker students did better (-0.17)"},
        {0.2, "C", 0.8, 0, 0 - 1 / 3.0, "few right (20%); most chose C; the weaker students did better (-0.33)"},
        {0.4, "False", 0.6, 0, 0.5 - 1 / 3.0, ""},
    };
    ASSERT_EQ(f.questions.size(), 6);
    for (int q = 0; q < 6; ++q) {
        SCOPED_TRACE(q + 1);
        const QuestionFigures &g = f.questions[q];
        EXPECT_EQ(g.number, q + 1);
        EXPECT_DOUBLE_EQ(g.facility, expected[q].facility);
        EXPECT_EQ(g.mostChosenWrong, QLatin1String(expected[q].wrong));
        EXPECT_DOUBLE_EQ(g.mostChosenWrongShare, expected[q].wrongShare);
        EXPECT_EQ(g.unanswered, expected[q].unanswered);
        EXPECT_NEAR(g.discrimination, expected[q].discrimination, 1e-9);
        EXPECT_EQ(g.concern, QLatin1String(expected[q].concern));
    }
    // Scores 4 4 2 2 2: squares about the mean 4.8; sd over n - 1 is
    // sqrt(1.2); the facilities' p q sum to 1.36 against a variance of 0.96
    // over n, so KR-20 is 6/5 x (1 - 1.36/0.96) = -0.5 (a class of five
    // measures little), and the SEM sqrt(1.2) x sqrt(1.5).
    EXPECT_NEAR(f.sd, std::sqrt(1.2), 1e-9);
    EXPECT_NEAR(f.kr20, -0.5, 1e-9);
    EXPECT_NEAR(f.sem, std::sqrt(1.2) * std::sqrt(1.5), 1e-9);
    EXPECT_EQ(ItemAnalysisModel::optionsText(f.questions[0]), QStringLiteral("A 3, B 2, C 0, D 0, none 0"));
    EXPECT_EQ(ItemAnalysisModel::optionsText(f.questions[1]), QStringLiteral("True 3, False 2, none 0"));
    EXPECT_EQ(ItemAnalysisModel::optionsText(f.questions[2]), QStringLiteral("A 0, B 1, C 2, D 1, none 1"));
    EXPECT_EQ(ItemAnalysisModel::testFiguresText(f),
              QStringLiteral("5 students counted. Score: mean 2.8, median 2, standard deviation 1.10. "
                             "Reliability (KR-20) -0.50, standard error of measurement 1.34."));
    const QJsonObject json = ClassExport::json(c, f);
    const QJsonObject test = json.value(QStringLiteral("test")).toObject();
    EXPECT_EQ(test.value(QStringLiteral("title")).toString(), QStringLiteral("Rivers"));
    EXPECT_EQ(test.value(QStringLiteral("students")).toInt(), 5);
    EXPECT_NEAR(test.value(QStringLiteral("kr20")).toDouble(), -0.5, 1e-9);
    EXPECT_EQ(json.value(QStringLiteral("questions")).toArray()[0].toObject().value(QStringLiteral("options")).toObject(),
              (QJsonObject{{"A", 3}, {"B", 2}, {"C", 0}, {"D", 0}, {"unanswered", 0}}));
    EXPECT_DOUBLE_EQ(f.score.mean, 2.8);
    EXPECT_DOUBLE_EQ(f.score.median, 2);
    EXPECT_EQ(f.score.highest, 4);
    EXPECT_EQ(f.score.lowest, 2);
    EXPECT_DOUBLE_EQ(f.time.mean, 120);
    EXPECT_DOUBLE_EQ(f.time.median, 90);   // 30 60 90 120 300
    EXPECT_EQ(f.bands, (QList<int>{0, 0, 0, 3, 0, 0, 2, 0, 0, 0}));
}

TEST(ItemAnalysis, GroupsAndBands)
{
    EXPECT_EQ(ItemAnalysis::groupSize(1), 1);
    EXPECT_EQ(ItemAnalysis::groupSize(30), 8);    // 8.1
    EXPECT_EQ(ItemAnalysis::groupSize(100), 27);
    EXPECT_EQ(ItemAnalysis::bandOf(0), 0);
    EXPECT_EQ(ItemAnalysis::bandOf(99), 9);
    EXPECT_EQ(ItemAnalysis::bandOf(100), 9);
}

TEST(ClassExport, CsvReadsBackInASpreadsheetReaderWithEveryAccent)
{
    QList<LogSpec> specs = handClass();
    specs[0].name = QStringLiteral("Zoë Ångström");
    specs[1].name = QStringLiteral("=HYPERLINK(\"x\")");
    const ClassResults c = classOf(specs);
    ClassTableModel model;
    model.show(&c, {});
    const QByteArray csv = ClassExport::csv(c, model.rows(), model.figures());
    ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("class.csv"));
    ASSERT_TRUE(writeFile(path, csv));
    const ToolRun run = runProgram(QStringLiteral("python3"),
                                   {QStringLiteral("-c"),
                                    QStringLiteral("import csv, json, sys\n"
                                                   "rows = list(csv.reader(open(sys.argv[1], encoding='utf-8-sig', newline='')))\n"
                                                   "print(json.dumps(rows))"),
                                    path});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const QString out = QString::fromUtf8(run.out);
    EXPECT_TRUE(out.contains(QStringLiteral("[\"Zo\\u00eb \\u00c5ngstr\\u00f6m\", \"4\", \"6\", \"66\", \"60\""))) << out.toStdString();
    // An unanswered question is "-", no formula to guard.
    EXPECT_TRUE(out.contains(QStringLiteral("\"Eve.log\", \"B \\u2717\", \"False \\u2717\", \"-\", \"B \\u2713\""))) << out.toStdString();
    // The key row first, then each answer marked right or wrong.
    EXPECT_TRUE(out.contains(QStringLiteral("[\"Right answer\", \"\", \"6\", \"\", \"\", \"\", \"\", \"\", \"A\", \"True\", \"C\", \"B\", \"D\", \"True\"]")))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\"A \\u2713\", \"True \\u2713\", \"C \\u2713\", \"B \\u2713\", \"C \\u2717\", \"False \\u2717\"")))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\"'=HYPERLINK(\\\"x\\\")\""))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("[\"Q5\", \"\", \"\", \"20%\", \"C\", \"80%\", \"0\", \"A 0, B 0, C 4, D 1, none 0\", \"-0.33\", "
                                            "\"few right (20%); most chose C; the weaker students did better (-0.33)\"]")))
        << out.toStdString();
}

// A folder read as a teacher's folder is: every letter case of ".log", and
// a link to a log (or a second hard link) is the same result, not a second
// attempt.
TEST(ClassLoader, EveryCaseOfLogAndALinkIsTheSameResult)
{
    QTemporaryDir dir;
    const QByteArray log = scrambled(logLines({"Ann", {"A", "B"}, {"A", "A"}}));
    writeBytes(dir.filePath(QStringLiteral("Rivers - Ann.lOg")), log);
    writeBytes(dir.filePath(QStringLiteral("Rivers - Bo.LOG")), scrambled(logLines({"Bo", {"A", "A"}, {"A", "A"}})));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("Rivers - Ann.lOg")), dir.filePath(QStringLiteral("copy of Ann.log"))));
    ASSERT_EQ(::link(QFile::encodeName(dir.filePath(QStringLiteral("Rivers - Bo.LOG"))).constData(),
                     QFile::encodeName(dir.filePath(QStringLiteral("Bo again.log"))).constData()), 0);
    const QStringList files = ClassLoader::expand({dir.path()});
    EXPECT_EQ(files.size(), 4);
    ClassResults c;
    for (const ReadFile &f : ClassLoader::readAll(files, nullptr))
        c.add(f.read, f.path);
    EXPECT_EQ(c.results().size(), 2);
}

// A student who handed in twice is counted once: by the first attempt (what
// the class knew when first tested), or the latest under "Latest Attempt
// Only"; both attempts are shown, flagged, and the flag says which counts.
TEST(ClassResults, OneAttemptPerStudentInEveryFigure)
{
    LogSpec first{"Ann", {"B", "B"}, {"A", "A"}};
    first.date = QStringLiteral("2026-12-01 10:00:00");
    LogSpec again{"ann ", {"A", "A"}, {"A", "A"}};
    again.date = QStringLiteral("2026-12-02 10:00:00");
    const ClassResults c = classOf({again, first, {"Bo", {"A", "B"}, {"A", "A"}}});
    ClassResults::Filter firstAttempts, latest;
    latest.latestAttemptOnly = true;
    EXPECT_EQ(c.shown(firstAttempts).size(), 3);
    const QList<int> counted = c.counted(firstAttempts);
    ASSERT_EQ(counted.size(), 2);
    EXPECT_EQ(c.results()[counted[0]].score, 0);   // Ann's first attempt
    EXPECT_EQ(c.flags(counted[0]), QStringList{"attempt 1 of 2, counted"});
    EXPECT_EQ(c.flags(counted[0], latest), QStringList{"attempt 1 of 2, a re-take"});
    const ClassFigures f = ItemAnalysis::analyse({&c.results()[counted[0]], &c.results()[counted[1]]}, 2);
    EXPECT_EQ(f.students, 2);
    const QList<int> latestCounted = c.counted(latest);
    ASSERT_EQ(latestCounted.size(), 2);
    EXPECT_EQ(c.results()[latestCounted[0]].score, 2);   // Ann's latest
}

// Two attempts under one name whose times overlap (the second begun before
// the first was handed in) are no retake: the flag asks the teacher.
TEST(ClassResults, OverlappingAttemptsOfOneNameAreFlagged)
{
    LogSpec one{"Sam", {"A", "A"}, {"A", "A"}, 600};
    one.date = QStringLiteral("2026-12-01 10:10:00");   // 10:00 to 10:10
    LogSpec other{"sam", {"B", "A"}, {"A", "A"}, 480};
    other.date = QStringLiteral("2026-12-01 10:12:00");   // 10:04 to 10:12
    LogSpec retake{"Kim", {"A", "A"}, {"A", "A"}, 300};
    retake.date = QStringLiteral("2026-12-01 10:05:00");
    LogSpec later{"Kim", {"A", "B"}, {"A", "A"}, 300};
    later.date = QStringLiteral("2026-12-01 10:20:00");   // begun at 10:15, after the first
    ClassResults c;
    int n = 0;
    for (const LogSpec &s : {one, other, retake, later})   // four files, two of each name
        c.add(parsed(s), QStringLiteral("%1.log").arg(n++));
    ASSERT_EQ(c.results().size(), 4);
    for (int i = 0; i < 4; ++i) {
        const bool sam = c.results()[i].name.toLower().startsWith(QLatin1String("sam"));
        EXPECT_EQ(c.flags(i).contains(QStringLiteral("two students with one name?")), sam) << i;
    }
}

// The question texts come from the class's test: found by its identity
// beside the logs' folder (a live class's results lie beside its test), not
// taken from a test of the same title that changed since.
TEST(ClassTest, FoundBesideTheLogsAndGivenToEveryView)
{
    QTemporaryDir dir;
    const QStringList records = {QStringLiteral("m\u00A9Longest river?\u00A9Thames\u00A9Rhine\u00A9Nile\u00A9Seine\u00A9none\u00A9 2"),
                                 QStringLiteral("t\u00A9The Rhine flows into the Black Sea.\u00A9none\u00A9 1")};
    const QByteArray bytes = testFileBytes(QStringLiteral("Rivers"), QStringLiteral("Class 3"), records);
    QStringList changed = records;
    changed[0].replace(QStringLiteral("Nile"), QStringLiteral("Amazon"));
    writeBytes(dir.filePath(QStringLiteral("a rivers old.ard")), testFileBytes(QStringLiteral("Rivers"), QStringLiteral("Class 3"), changed));
    writeBytes(dir.filePath(QStringLiteral("rivers.ard")), bytes);
    QDir(dir.path()).mkdir(QStringLiteral("Rivers results"));
    LogSpec ann{"Ann", {"C", "True"}, {"C", "False"}};
    ann.testId = testIdentity(QStringLiteral("Rivers"), QStringLiteral("Class 3"), records);
    const QString log = dir.filePath(QStringLiteral("Rivers results/Rivers - Ann.log"));
    writeBytes(log, scrambled(logLines(ann)));

    ClassResults c;
    for (const ReadFile &f : ClassLoader::readAll({log}, nullptr))
        c.add(f.read, f.path);
    const ClassTest test = ClassTest::find(c.testId(), ClassTest::foldersAround({log}));
    ASSERT_TRUE(test.isKnown());
    EXPECT_EQ(test.path, dir.filePath(QStringLiteral("rivers.ard")));
    ClassTableModel model;
    model.show(&c, {});
    model.setTest(test);
    EXPECT_EQ(model.figures().questions[0].text, QStringLiteral("Longest river?"));
    EXPECT_EQ(model.figures().questions[0].rightText, QStringLiteral("C: Nile"));
    EXPECT_EQ(model.figures().questions[1].rightText, QStringLiteral("False"));
    EXPECT_EQ(model.headerData(ClassTableModel::FirstQuestion, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("Longest river?\nRight answer: C: Nile"));
    const QJsonObject q = ClassExport::json(c, model.figures())[QStringLiteral("questions")].toArray()[0].toObject();
    EXPECT_EQ(q[QStringLiteral("text")].toString(), QStringLiteral("Longest river?"));
    EXPECT_EQ(q[QStringLiteral("right_text")].toString(), QStringLiteral("C: Nile"));
    EXPECT_TRUE(ItemAnalysisModel::rowTexts(model.figures().questions[1]).contains(QStringLiteral("The Rhine flows into the Black Sea.")));
    EXPECT_FALSE(ClassTest::find(QStringLiteral("ffffffffffff"), ClassTest::foldersAround({log})).isKnown());
}

// Names sort as the user's language orders them: accented letters among
// their base letters, numbers by value, letter case aside.
TEST(ClassTableModel, NamesSortAsALanguageOrdersThem)
{
    QList<LogSpec> specs;
    for (const char *name : {"zoe", "\u00C9lodie", "Emma", "Anna 10", "Anna 9", "Zo\u00EB", "\u00C5sa", "Bo"})
        specs.append({QString::fromUtf8(name), {"A"}, {"A"}});
    const ClassResults c = classOf(specs);
    ClassTableModel model;
    model.show(&c, {});
    model.sort(ClassTableModel::Student);
    QStringList order;
    for (const StudentResult *r : model.rows())
        order << r->name;
    EXPECT_EQ(order, QStringList({"Anna 9", "Anna 10", "\u00C5sa", "Bo", "\u00C9lodie", "Emma", "zoe", "Zo\u00EB"}))
        << order.join(QLatin1Char('|')).toStdString();
}

// The live class writes results itself: byte for byte the log the page
// saves (the lines above are written independently of the writer), and
// read back unchanged.
TEST(ResultLogText, WritesThePagesLogByteForByte)
{
    LogSpec spec{QStringLiteral("Anna B."), {"A", "True", "-"}, {"A", "False", "?"}, 125};
    StudentResult r;
    r.title = spec.title;
    r.teacher = QStringLiteral("Class 3");
    r.testId = spec.testId;
    r.name = spec.name;
    r.date = QDateTime(QDate(2026, 12, 1), QTime(10, 0, 0));
    r.given = spec.given;
    r.right = spec.right;
    r.total = 3;
    r.score = 1;
    r.percent = 33;
    r.seconds = 125;
    const QByteArray bytes = ResultLogText::bytes(r);
    EXPECT_EQ(bytes, scrambled(logLines(spec)));
    const ResultRead back = ResultLog::parse(bytes, QStringLiteral("x.log"));
    ASSERT_EQ(back.outcome, ResultRead::Outcome::Result) << back.reason.toStdString();
    EXPECT_EQ(back.result.given, spec.given);
    EXPECT_EQ(back.result.seconds, 125);
}

TEST(ResultLogText, NamesAndTextsAsThePageWritesThem)
{
    const struct {
        const char16_t *typed;
        const char *inLog;
    } names[] = {
        {u"Дмитрий Łukasz", "Dmitrij Lukasz"}, {u"Щука Ёж", "Shchuka Ezh"}, {u"Σωκράτης", "Sokratis"},
        {u"Zoë Ångström", "Zoë Ångström"},    {u"Объект", "Obekt"},        {u"李", "李"},
    };
    for (const auto &n : names)
        EXPECT_EQ(ResultLogText::latinName(QString::fromUtf16(n.typed)), QString::fromUtf8(n.inLog))
            << QString::fromUtf16(n.typed).toStdString();

    StudentResult r;
    r.name = QStringLiteral("A\u00BBB\nC\u674E");   // », a line break, a letter no log holds
    r.date = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5));
    const QList<QByteArray> lines = ResultLogText::bytes(r).split('\n');
    EXPECT_EQ(LineCodec::logLine(lines[4].chopped(1)), QByteArray("Student: A?B C?"));
    EXPECT_EQ(LineCodec::logLine(lines[5].chopped(1)), QByteArray("Date: 2026-01-02 03:04:05"));

    EXPECT_EQ(ResultLogText::fileName(QStringLiteral("Rivers"), QStringLiteral("J. R. Smith")),
              QStringLiteral("Rivers - J R Smith.log"));
    EXPECT_EQ(ResultLogText::fileName(QStringLiteral("a/b"), QStringLiteral("..\\x:y")), QStringLiteral("a_b - _x_y.log"));
    // A file name holds 255 bytes: a long title in Greek gives way before
    // the name does; a name alone too long is cut.
    const QString greek = QString::fromUtf8("Ελληνικά ").repeated(30);
    const QString file = ResultLogText::fileName(greek, QStringLiteral("Anna"));
    EXPECT_TRUE(file.startsWith(QString::fromUtf8("Ελληνικά ")) && file.endsWith(QStringLiteral(" - Anna.log"))) << file.toStdString();
    EXPECT_LE(file.toUtf8().size(), 204);
    EXPECT_EQ(ResultLogText::fileName(QStringLiteral("T"), QString(300, QLatin1Char('x'))),
              QStringLiteral("T - ") + QString(196, QLatin1Char('x')) + QStringLiteral(".log"));

    // A name the "Student:" line cannot give back comes back whole from the
    // line after the answers; one it can gains no line.
    for (const char *typed : {"张伟", "Ελένη", "Zoë"}) {
        StudentResult t;
        t.name = QString::fromUtf8(typed);
        t.date = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5));
        t.total = t.score = 1;
        t.percent = 100;
        t.given = t.right = QStringList{QStringLiteral("A")};
        const QByteArray bytes = ResultLogText::bytes(t);
        EXPECT_EQ(bytes.count('\n'), QByteArrayView(typed) == "Zoë" ? 10 : 11) << typed;
        const ResultRead back = ResultLog::parse(bytes, QStringLiteral("x.log"));
        ASSERT_EQ(back.outcome, ResultRead::Outcome::Result) << back.reason.toStdString();
        EXPECT_EQ(back.result.name, t.name);
    }
    EXPECT_EQ(ResultLogText::nameAsTypedLine(QString::fromUtf8("张伟")), QStringLiteral("Student as typed: %E5%BC%A0%E4%BC%9F"));
    for (const char *hostile : {"", "%FF%FE", "%0A", "A%E2%80%AEB"})
        EXPECT_EQ(ResultLogText::nameFromLine(QString::fromLatin1(hostile)), QString()) << hostile;
    EXPECT_EQ(ScoreLog::timeText(60), QStringLiteral("60 seconds"));
    EXPECT_EQ(ScoreLog::timeText(61), QStringLiteral("1 minutes and 1 seconds"));
}
