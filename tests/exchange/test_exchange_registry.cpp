// The registry as the dialogs and a higher layer use it.
#include "TestFiles.h"
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
