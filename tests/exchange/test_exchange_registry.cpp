// The registry as the dialogs and a higher layer use it.
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

TEST(ExchangeRegistry, AFormatAddedLaterJoinsTheDialogsAndTheExport)
{
    QuestionFormatRegistry registry;
    registry.add(std::make_unique<PageFormat>());

    const FormatFilters exportFilters(QuestionFormat::Write, QString(), registry);
    ASSERT_EQ(exportFilters.filters().size(), 6);
    EXPECT_EQ(exportFilters.filters().last(), (FileFilter{"Web page (*.html *.htm)", "*.html;*.htm"}));
    EXPECT_EQ(exportFilters.formatAt(6)->shortName(), "page");
    EXPECT_EQ(exportFilters.formatAt(2)->shortName(), "gift");
    EXPECT_EQ(exportFilters.formatAt(7), nullptr);

    const FormatFilters importFilters(QuestionFormat::Read, "Question files", registry);
    ASSERT_EQ(importFilters.filters().size(), 6);   // "all" and the five that read
    EXPECT_EQ(importFilters.filters().first(),
              (FileFilter{"Question files (*.ard *.gift *.txt *.aiken *.xml *.csv)",
                          "*.ard;*.gift;*.txt;*.aiken;*.xml;*.csv"}));
    EXPECT_EQ(importFilters.formatFor(1, "/x/quiz.xml")->shortName(), "moodlexml");
    EXPECT_EQ(importFilters.formatFor(3, "/x/quiz.xml")->shortName(), "moodlexml");   // the name says
    EXPECT_EQ(importFilters.formatFor(3, "/x/quiz.questions")->shortName(), "gift");  // the filter says
    EXPECT_EQ(importFilters.formatFor(1, "/x/page.html"), nullptr);

    QTemporaryDir dir;
    ExportRequest request;
    request.path = dir.filePath("quiz.htm");
    request.source.title = "Rivers";
    const ExchangeReport report = exportQuestions(request, registry);
    EXPECT_TRUE(report.complete()) << qPrintable(report.text());
    QFile page(request.path);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_EQ(page.readAll(), QByteArray("<h1>Rivers</h1>"));
    EXPECT_TRUE(registry.byShortName("page")->read("x", "quiz.htm").report.failed());
}

TEST(ExchangeRegistry, AFailedExportLeavesTheOldFileAsItWas)
{
    QTemporaryDir dir;
    QFile old(dir.filePath("old.ard"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old bytes") == 9);
    old.close();
    ExportRequest request;
    request.path = old.fileName();
    request.source.title = "";   // a test needs its title
    request.source.teacher = "C";
    const ExchangeReport report = exportQuestions(request);
    EXPECT_EQ(report.error(), "Please fill in all fields before attempting to save this test.");
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old bytes"));
}
