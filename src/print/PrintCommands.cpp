#include "print/PrintCommands.h"

#include "document/TestDocument.h"
#include "platform/FileDialogService.h"
#include "platform/Platform.h"
#include "print/PrintSurface.h"
#include "print/TestPrintout.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>

namespace PrintCommands {
void printTest(QWidget *, const TestDocument &doc, const QString &title, const QString &teacher)
{
    const auto printer = PrintSurface::toDefaultPrinter();
    TestPrintout(*printer, doc, title, teacher).print();
}

void printTestToPdf(QWidget *, const TestDocument &doc, const QString &title,
                    const QString &teacher)
{
    // Refused tests are refused before any dialog.
    if (!TestPrintout::checkPrintable(doc, title, teacher))
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = QObject::tr("Print to PDF");
    request.filters = {FileFilter{QObject::tr("PDF Files (*.pdf)"), QStringLiteral("*.pdf")}};
    request.initialDir = QDir::currentPath();
    request.fileName = doc.currentFile().isEmpty()
        ? QStringLiteral("untitled.pdf")
        : QFileInfo(doc.currentFile()).completeBaseName() + QStringLiteral(".pdf");
    request.defaultExt = QStringLiteral("pdf");
    request.overwritePrompt = true;
    // The dialog moves the working directory to the PDF's folder; bare
    // picture names resolve against the test's folder, so it is put back.
    const QString workingDir = QDir::currentPath();
    const FileDialogResult chosen = Platform::fileDialogs().choose(request);
    QDir::setCurrent(workingDir);
    if (!chosen.accepted || chosen.files.isEmpty())
        return;
    printTestToPdfFile(chosen.files.first(), doc, title, teacher);
}

bool printTestToPdfFile(const QString &pdfPath, const TestDocument &doc, const QString &title,
                        const QString &teacher)
{
    const auto printer = PrintSurface::toPdf(pdfPath);
    return TestPrintout(*printer, doc, title, teacher).print();
}
}
