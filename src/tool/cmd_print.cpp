// ardeno-tool print FILE.ard OUT.pdf [--key] [--version N]: the printed test
// (and its key) as a PDF file, drawn by the same code as File > Print; with
// a version, the question paper of that version of the paper class.

#include "tool/ToolCommand.h"

#include "document/MediaLookup.h"
#include "platform/MessageService.h"
#include "platform/Platform.h"
#include "paper/TestVersion.h"
#include "print/PrintCommands.h"
#include "document/TestDocument.h"
#include "document/TestFile.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {
// Answers the key question from the command line and writes every other
// message to standard error.
class ToolPrintMessages : public MessageService {
public:
    explicit ToolPrintMessages(bool key) : m_key(key) {}
    MsgResult show(const MessageRequest &request) override
    {
        if (request.buttons == MsgButtons::YesNo)
            return m_key ? MsgResult::Yes : MsgResult::No;
        std::fprintf(stderr, "%s\n", qPrintable(request.text));
        ++errors;
        return MsgResult::Ok;
    }
    int errors = 0;

private:
    bool m_key;
};

int runPrint(const QStringList &argsIn)
{
    QStringList args = argsIn;
    const bool key = args.removeAll(QStringLiteral("--key")) > 0;
    int version = 1;
    if (const qsizetype at = args.indexOf(QStringLiteral("--version")); at >= 0) {
        bool ok = false;
        version = args.value(at + 1).toInt(&ok);
        if (!ok || version < 1 || version > TestVersion::MostVersions)
            return toolUsageError();
        args.remove(at, 2);
    }
    if (args.size() != 2)
        return toolUsageError();
    const QString testPath = QFileInfo(args[0]).absoluteFilePath();
    const QString pdfPath = QFileInfo(args[1]).absoluteFilePath();

    TestDocument doc;
    const TestReadResult read = LoadTest(doc, testPath);
    if (!read.test) {
        std::fprintf(stderr, "%s\n", qPrintable(read.error));
        return 1;
    }
    doc.setTestFolder(MediaLookup::testFolderOf(testPath));
    // The question paper of a version: its order, and its number in the
    // title, as on the answer sheets that go with it.
    const QString title = TestVersion::paperTitle(read.test->title, version);
    if (version > 1)
        doc.setRecords(TestVersion::of(read.test->title, read.test->teacher, read.test->records, version).records());

    ToolPrintMessages messages(key);
    Platform::setMessages(&messages);
    const bool ok = PrintCommands::printTestToPdfFile(pdfPath, doc, title,
                                                      read.test->teacher);
    Platform::setMessages(nullptr);
    if (!ok)
        return 1;
    // Skipped questions were reported above, but the PDF was made.
    std::printf("%s\n", qPrintable(pdfPath));
    return 0;
}
}

static ToolCommandRegistration printCommand(
    {"print", "print FILE.ard OUT.pdf [--key] [--version N]", runPrint});
