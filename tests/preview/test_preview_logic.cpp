#include "document/QuestionRecord.h"
#include "preview/ScoreReport.h"
#include "document/TestDocument.h"
#include "preview/TestRunner.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace ScoreReport;

TEST(ScoreReport, PercentIsRoundedDown)
{
    EXPECT_EQ(percent(2, 3), 66);
    EXPECT_EQ(percent(0, 7), 0);
    EXPECT_EQ(percent(7, 7), 100);
    EXPECT_EQ(percent(1, 1), 100);
}

TEST(ScoreReport, TimeTextSwitchesToMinutesAfterSixtySeconds)
{
    EXPECT_EQ(timeText(0), "0 seconds");
    EXPECT_EQ(timeText(1), "1 seconds");
    EXPECT_EQ(timeText(60), "60 seconds");
    EXPECT_EQ(timeText(61), "1 minutes and 1 seconds");
    EXPECT_EQ(timeText(120), "2 minutes and 0 seconds");
    EXPECT_EQ(timeText(3725), "62 minutes and 5 seconds");
}

TEST(ScoreReport, ElapsedCountsWholeSecondsAcrossMidnight)
{
    const QDate day(2026, 12, 6);
    EXPECT_EQ(elapsedSeconds(QDateTime(day, QTime(10, 0, 0, 100)), QDateTime(day, QTime(10, 0, 0, 900))), 0);
    EXPECT_EQ(elapsedSeconds(QDateTime(day, QTime(10, 0, 0)), QDateTime(day, QTime(10, 1, 35, 999))), 95);
    EXPECT_EQ(elapsedSeconds(QDateTime(day, QTime(23, 59, 50)), QDateTime(day.addDays(1), QTime(0, 0, 20))), 30);
    // A clock set back never shows a negative time.
    EXPECT_EQ(elapsedSeconds(QDateTime(day, QTime(10, 0, 0)), QDateTime(day, QTime(9, 0, 0))), 0);
}

TEST(ScoreReport, MessageAndSheetLine)
{
    EXPECT_EQ(message(7, 10, 70, "1 minutes and 35 seconds"),
              "You got 7 correct out of 10 total questions.\r\n"
              "You scored 70 percent.\r\n"
              "You spent 1 minutes and 35 seconds on this quiz.\r\n"
              "\r\n"
              "Would you like to print your score?");
    EXPECT_EQ(sheetLine3(7, 10, 70, "1 minutes and 35 seconds", "12/6/26"),
              "Score 7 of 10.  70%   Time spent 1 minutes and 35 seconds.  Test date:  12/6/26");
}

TEST(TestRunner, CaptionsAndSequence)
{
    TestDocument doc;
    for (int i = 0; i < 12; ++i)
        doc.append(record({"t", QString("Q%1").arg(i + 1), "none", "0"}));
    TestRunner r(&doc);
    r.start(QDateTime(QDate(2026, 1, 1), QTime(1, 0, 30, 500)));
    EXPECT_EQ(r.StartTime, 3630.5);
    EXPECT_EQ(r.CorrectAnswer, 1);
    EXPECT_EQ(r.countCaption(), "Question # 1");
    EXPECT_EQ(r.scoreCaption(), "Score: 0 correct of 12 total.");
    for (int i = 1; i < 12; ++i)
        EXPECT_TRUE(r.advance());
    EXPECT_EQ(r.countCaption(), "Question # 12");
    EXPECT_EQ(r.currentRecord(), doc.record(12));
    EXPECT_FALSE(r.advance());
}

// One rule for an answer, whichever key or button gave it, tried without a
// window: right, wrong with the right one named, or a right answer that
// names no option (the question cannot be passed).
TEST(TestRunner, JudgesAnAnswer)
{
    const QStringList letters = {"A", "B", "C", "D"}, truths = {"True", "False"};
    const QStringList answers = {"In the sea", "On the large island", "On the small island", "There is no dot"};
    const struct {
        int correct, index;
        bool trueFalse;
        AnswerVerdict::Kind kind;
        const char *message;
    } cases[] = {
        {1, 1, false, AnswerVerdict::Kind::Right, ""},
        {1, 0, false, AnswerVerdict::Kind::Wrong, "The correct answer was B. On the large island"},
        {0, 1, true, AnswerVerdict::Kind::Wrong, "The correct answer was True."},
        {4, 0, false, AnswerVerdict::Kind::CannotBePassed, ""},
        {2, 0, true, AnswerVerdict::Kind::CannotBePassed, ""},
        {-1, 0, false, AnswerVerdict::Kind::CannotBePassed, ""},
    };
    for (const auto &c : cases) {
        TestRunner r;
        r.CorrectAnswer = c.correct;
        const AnswerVerdict v = c.trueFalse ? r.judge(c.index, truths) : r.judge(c.index, letters, answers);
        EXPECT_EQ(v.kind, c.kind) << c.correct << " " << c.index;
        EXPECT_EQ(v.message, QString::fromLatin1(c.message));
    }
}
