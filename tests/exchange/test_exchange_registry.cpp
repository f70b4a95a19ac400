// The registry as the dialogs and a higher layer use it.
#include "TestFiles.h"
#include "exchange/ExchangeReport.h"
#include "exchange/FormatFilters.h"
#include "exchange/QuestionExport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Readable failures: texts as text.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {
// A write-only format of the kind a higher layer adds at start-up.
class PageFormat : public WritableQuestionFormat {
public:
    QString shortName() const override { return "page"; }
    FileFilter nameFilter() const override { return {"Web page (*.html *.htm)", "*.html;*.htm"}; }
    WriteResult write(const ExportSource &test) const override
    {
        WriteResult w;
        w.bytes = ("<h1>" + test.title + "</h1>").toUtf8();
        w.report.addCarried(int(test.records.size()));
        return w;
    }
};
}

TEST(ExchangeRegistry, BuiltInFormatsByNameAndByFileName)
{
    const QuestionFormatRegistry &r = QuestionFormatRegistry::instance();
    EXPECT_EQ(r.shortNames(), QStringList({"ard", "gift", "aiken", "moodlexml", "csv"}));
    EXPECT_EQ(r.forFileName("/home/t/My.Files/quiz.GIFT", QuestionFormat::Read)->shortName(), "gift");
    EXPECT_EQ(r.forFileName("notes.txt", QuestionFormat::Read)->shortName(), "gift");
    EXPECT_EQ(r.forFileName("quiz.aiken", QuestionFormat::Write)->shortName(), "aiken");
    EXPECT_EQ(r.forFileName("moodle-export.xml", QuestionFormat::Read)->shortName(), "moodlexml");
    EXPECT_EQ(r.forFileName("sheet.csv", QuestionFormat::Read)->shortName(), "csv");
    EXPECT_EQ(r.forFileName("test.ard", QuestionFormat::Read)->shortName(), "ard");
    EXPECT_EQ(r.forFileName("picture.bmp", QuestionFormat::Read), nullptr);
    EXPECT_EQ(r.byShortName("MoodleXML")->shortName(), "moodlexml");
}

TEST(ExchangeRegistry, AFailedExportLeavesTheOldFileAsItWas)
{
    QTemporaryDir dir;
    ExportRequest request;
    request.path = writeBytes(dir.filePath("old.ard"), "old bytes");
    request.source.title = "";   // a test needs its title
    request.source.teacher = "C";
    const ExchangeReport report = exportQuestions(request);
    EXPECT_EQ(report.error(), "Please fill in all fields before attempting to save this test.");
    EXPECT_EQ(readBytes(request.path), QByteArray("old bytes"));
}

// A large file's report starts with how many stayed behind and why, the
// reasons counted whatever their numbers and quoted texts; a short one is
// the lines alone.
TEST(ExchangeReport, ALargeReportStartsWithTheReasonsCounted)
{
    ExchangeReport report;
    report.setSummary(QStringLiteral("2 questions imported from \"bank.gift\"."));
    report.skip(ExchangeReport::atLine(1), QStringLiteral("it has 3 answers; skipped."));
    report.skip(ExchangeReport::atLine(4), QStringLiteral("an essay question cannot be carried; skipped."));
    report.skip(ExchangeReport::atLine(7), QStringLiteral("it has 5 answers; skipped."));
    EXPECT_EQ(report.text().count(QLatin1Char('\n')), 3);
    report.skip(ExchangeReport::atLine(9), QStringLiteral("the picture \"a.png\" is missing; skipped."));
    report.skip(ExchangeReport::atLine(12), QStringLiteral("it has 2 answers; skipped."));
    report.note(QStringLiteral("Question names were left out."));
    EXPECT_EQ(report.text().split(QLatin1Char('\n')),
              QStringList({"2 questions imported from \"bank.gift\".", "5 left behind, by reason:",
                           "3 \u00D7 it has 3 answers; skipped.", "1 \u00D7 an essay question cannot be carried; skipped.",
                           "1 \u00D7 the picture \"a.png\" is missing; skipped.", "Line by line:",
                           "Line 1: it has 3 answers; skipped.", "Line 4: an essay question cannot be carried; skipped.",
                           "Line 7: it has 5 answers; skipped.", "Line 9: the picture \"a.png\" is missing; skipped.",
                           "Line 12: it has 2 answers; skipped.", "Question names were left out."}));
}
