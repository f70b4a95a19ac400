#include "document/QuestionView.h"
#include "paper/AnswerSheetPrintout.h"
#include "paper/MarkReading.h"
#include "paper/SheetCode.h"
#include "paper/SheetLayout.h"
#include "paper/TestVersion.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {
QStringList sampleRecords(int n)
{
    QStringList records;
    for (int i = 0; i < n; ++i)
        records << (i % 3 == 2 ? QStringLiteral("t\u00a9Statement %1\u00a9none\u00a9 1").arg(i)
                               : QStringLiteral("m\u00a9Question %1\u00a9a%1\u00a9b%1\u00a9c%1\u00a9d%1\u00a9none\u00a9 %2")
                                     .arg(i)
                                     .arg(i % 4));
    return records;
}
}

TEST(SheetLayout, AHundredQuestionsFitOnEitherPaperWithinTheMarkersAndNoBubblesTouch)
{
    for (const SheetPaper paper : {SheetPaper::A4, SheetPaper::Letter}) {
        const SheetLayout layout(paper);
        EXPECT_GE(layout.capacity(), 100);
        const QList<QPointF> markers = layout.markerCentres();
        const QRectF inside(markers[0], markers[2]);
        // Inside the markers' frame, and the frame inside the paper with room
        // for a printer's unprintable edge.
        const QRectF onPage = inside.translated(layout.originOnPage());
        EXPECT_GE(onPage.left() - SheetLayout::MarkerSide / 2, 6.35);
        EXPECT_LE(onPage.bottom() + SheetLayout::MarkerSide / 2, layout.pageSize().height() - 6.35);
        EXPECT_LE(onPage.right() + SheetLayout::MarkerSide / 2, layout.pageSize().width() - 6.35);
        for (int place = 0; place < 100; ++place) {
            const QRectF row = layout.rowRect(place);
            EXPECT_TRUE(inside.contains(row)) << place;
            EXPECT_FALSE(row.intersects(layout.codeRect())) << place;
            for (int option = 0; option < 4; ++option) {
                const QPointF c = layout.bubbleCentre(place, option);
                EXPECT_TRUE(row.adjusted(0, 0, 0.01, 0).contains(c + QPointF(SheetLayout::BubbleRadius, 0))) << place;
                if (option > 0) {
                    EXPECT_GT(c.x() - layout.bubbleCentre(place, option - 1).x(), 2 * SheetLayout::BubbleRadius + 1);
                }
            }
        }
    }
    SheetPaper paper;
    EXPECT_TRUE(SheetLayout::paperFromName(QStringLiteral("Letter"), &paper));
    EXPECT_EQ(paper, SheetPaper::Letter);
    EXPECT_FALSE(SheetLayout::paperFromName(QStringLiteral("a5"), &paper));
}

TEST(SheetCode, ReadsBackWhatItWritesAndRefusesAnyOtherCode)
{
    SheetCode code;
    code.test = QStringLiteral("0123456789ab");
    code.paper = SheetPaper::Letter;
    code.version = 3;
    code.sheet = 27;
    code.name = QStringLiteral("张伟 | Zoë");
    const std::optional<SheetCode> back = SheetCode::fromBytes(code.bytes());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->test, code.test);
    EXPECT_EQ(back->paper, SheetPaper::Letter);
    EXPECT_EQ(back->version, 3);
    EXPECT_EQ(back->sheet, 27);
    EXPECT_EQ(back->name, code.name);
    for (const char *other : {"", "https://example.org/", "ARD1|abc|a4|1|1", "ARD2|abc|a4|1|1|x", "ARD1||a4|1|1|x",
                              "ARD1|abc|a5|1|1|x", "ARD1|abc|a4|5|1|x", "ARD1|abc|a4|0|1|x", "ARD1|abc|a4|1|0|x",
                              "ARD1|abc|a4|x|1|x"})
        EXPECT_FALSE(SheetCode::fromBytes(other)) << other;
}

TEST(TestVersion, TheFingerprintHidesTheRightAnswersAndFollowsEverythingElse)
{
    const QStringList records = sampleRecords(6);
    const QString print = TestVersion::fingerprint(QStringLiteral("Rivers"), QStringLiteral("5B"), records);
    EXPECT_EQ(print.size(), 12);
    QStringList otherKey = records;
    QuestionView q(otherKey[0]);
    q.setRightAnswer(3);
    otherKey[0] = q.record();
    EXPECT_EQ(TestVersion::fingerprint(QStringLiteral("Rivers"), QStringLiteral("5B"), otherKey), print);
    QStringList otherText = records;
    otherText[1].replace(QStringLiteral("Question 1"), QStringLiteral("Question one"));
    EXPECT_NE(TestVersion::fingerprint(QStringLiteral("Rivers"), QStringLiteral("5B"), otherText), print);
    EXPECT_NE(TestVersion::fingerprint(QStringLiteral("Lakes"), QStringLiteral("5B"), records), print);
}

TEST(TestVersion, EachVersionIsAFixedReorderingThatItsQuestionPaperAgreesWith)
{
    const QStringList records = sampleRecords(30);
    const QString print = TestVersion::fingerprint(QStringLiteral("T"), QStringLiteral("C"), records);
    const TestVersion first(records, print, 1);
    EXPECT_EQ(first.records(), records);
    QSet<QList<int>> orders;
    for (int v = 1; v <= TestVersion::MostVersions; ++v) {
        const TestVersion version(records, print, v);
        EXPECT_EQ(version.records(), TestVersion(records, print, v).records()) << "the same on every run";
        QList<int> order;
        for (int place = 0; place < 30; ++place)
            order << version.questionAt(place);
        orders.insert(order);
        QList<int> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < 30; ++i)
            ASSERT_EQ(sorted[i], i) << "every question once";
        const QStringList paper = version.records();
        for (int place = 0; place < 30; ++place) {
            const QuestionView printed(paper[place]);
            const QuestionView original(records[version.questionAt(place)]);
            EXPECT_EQ(printed.question(), original.question());
            if (original.isTrueFalse()) {
                EXPECT_EQ(version.optionsAt(place), 2);
                EXPECT_EQ(version.optionAt(place, 0), 0);
                EXPECT_EQ(printed.rightAnswer(), original.rightAnswer());
                continue;
            }
            for (int option = 0; option < 4; ++option)
                EXPECT_EQ(printed.answer(option), original.answer(version.optionAt(place, option)));
            // The right answer moved with its text.
            EXPECT_EQ(printed.answer(printed.rightAnswer()), original.answer(original.rightAnswer()));
        }
    }
    EXPECT_EQ(orders.size(), TestVersion::MostVersions);
}

TEST(MarkReading, AClearMarkIsTakenAndEverythingElseLeftToTheTeacher)
{
    struct Case {
        QList<double> darkness;
        int chosen;
        MarkReading::Doubt doubt;
    } cases[] = {
        {{0.0, 0.01, 0.72, 0.0}, 2, MarkReading::Doubt::None},
        {{0.0, 0.0, 0.0, 0.0}, -1, MarkReading::Doubt::None},
        {{0.0, 0.93}, 1, MarkReading::Doubt::None},
        {{0.7, 0.72, 0.0, 0.0}, -1, MarkReading::Doubt::TwoMarks},
        {{0.0, 0.0, 0.0, 0.21}, -1, MarkReading::Doubt::Faint},       // rubbed out, or too light
        {{0.0, 0.17, 0.0, 0.0}, -1, MarkReading::Doubt::Faint},       // a cross over an empty bubble
        {{0.2, 0.75, 0.0, 0.0}, -1, MarkReading::Doubt::Faint},       // one rubbed out, one filled
        {{0.05, 0.75, 0.08, 0.0}, 1, MarkReading::Doubt::None},       // dirt and noise
    };
    for (const Case &c : cases) {
        const MarkReading r = MarkReading::of(c.darkness);
        EXPECT_EQ(r.chosen, c.chosen) << c.darkness[0] << " " << c.darkness[1];
        EXPECT_EQ(r.doubt, c.doubt) << c.darkness[0] << " " << c.darkness[1];
        EXPECT_EQ(r.reason().isEmpty(), c.doubt == MarkReading::Doubt::None);
    }
}

TEST(AnswerSheetRun, WhatCannotBePrintedIsSaidBeforeAnythingIs)
{
    AnswerSheetRun run;
    run.records = sampleRecords(3);
    run.count = 30;
    EXPECT_EQ(run.problem(), QString());
    EXPECT_EQ(run.versionOf(1), 1);
    run.versions = 3;
    EXPECT_EQ(QList<int>({run.versionOf(1), run.versionOf(2), run.versionOf(3), run.versionOf(4)}), QList<int>({1, 2, 3, 1}));
    const auto problemWith = [&](auto change) {
        AnswerSheetRun other = run;
        change(other);
        return other.problem();
    };
    EXPECT_EQ(problemWith([](AnswerSheetRun &r) { r.records.clear(); }), QStringLiteral("The test has no questions."));
    EXPECT_EQ(problemWith([](AnswerSheetRun &r) { r.count = 0; }), QStringLiteral("There is no student to print a sheet for."));
    EXPECT_EQ(problemWith([](AnswerSheetRun &r) { r.versions = 5; }), QStringLiteral("A test is printed in 1 to 4 versions."));
    EXPECT_TRUE(problemWith([](AnswerSheetRun &r) { r.names = {QStringLiteral("Anna"), QString(151, QLatin1Char('x'))}; })
                    .startsWith(QStringLiteral("The name \"xxx")));
    EXPECT_EQ(problemWith([](AnswerSheetRun &r) { r.records = sampleRecords(120); }),
              QStringLiteral("An answer sheet holds 112 questions."));
}
