#include "print/PrintCommands.h"

#include "document/TestDocument.h"
#include "platform/FileDialogService.h"
#include "platform/MsgBox.h"
#include "platform/Platform.h"
#include "print/PrintSurface.h"
#include "print/TestPrintout.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>

namespace {
QString pdfNameOf(const TestDocument &doc)
{
    return doc.currentFile().isEmpty() ? QStringLiteral("untitled.pdf")
                                       : QFileInfo(doc.currentFile()).completeBaseName() + QStringLiteral(".pdf");
}
}

namespace PrintCommands {
QString askPdfPath(const QString &title, const QString &pdfName)
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = title;
    request.filters = {FileFilter{QObject::tr("PDF Files (*.pdf)"), QStringLiteral("*.pdf")}};
    request.initialDir = QDir::currentPath();
    request.fileName = pdfName;
    request.defaultExt = QStringLiteral("pdf");
    request.overwritePrompt = true;
    // The dialog moves the working directory to the PDF's folder; bare
    // picture names resolve against the test's folder, so it is put back.
    const QString workingDir = QDir::currentPath();
    const FileDialogResult chosen = Platform::fileDialogs().choose(request);
    QDir::setCurrent(workingDir);
    return chosen.accepted && !chosen.files.isEmpty() ? chosen.files.first() : QString();
}

PrintRoute choosePrintRoute(const QString &pdfName)
{
    if (!PrintSurface::defaultPrinterName().isEmpty())
        return {};
    if (MsgBox(QObject::tr("There is no printer set up on this computer.\r\n\r\nSave it as a PDF file instead? "
                           "You can print the file later, or on another computer."),
               MsgIcon::Question, MsgButtons::YesNo)
        != MsgResult::Yes)
        return {PrintRoute::To::Nowhere, QString()};
    const QString path = askPdfPath(QObject::tr("Print to PDF"), pdfName);
    return {path.isEmpty() ? PrintRoute::To::Nowhere : PrintRoute::To::Pdf, path};
}

void printTest(QWidget *, const TestDocument &doc, const QString &title, const QString &teacher)
{
    if (!TestPrintout::checkPrintable(doc, title, teacher))
        return;
    const PrintRoute route = choosePrintRoute(pdfNameOf(doc));
    if (route.to == PrintRoute::To::Pdf)
        printTestToPdfFile(route.pdfPath, doc, title, teacher);
    if (route.to != PrintRoute::To::Printer)
        return;
    const auto printer = PrintSurface::toDefaultPrinter();
    TestPrintout(*printer, doc, title, teacher).print();
}

void printTestToPdf(QWidget *, const TestDocument &doc, const QString &title,
                    const QString &teacher)
{
    // Refused tests are refused before any dialog.
    if (!TestPrintout::checkPrintable(doc, title, teacher))
        return;
    const QString path = askPdfPath(QObject::tr("Print to PDF"), pdfNameOf(doc));
    if (!path.isEmpty())
        printTestToPdfFile(path, doc, title, teacher);
}

bool printTestToPdfFile(const QString &pdfPath, const TestDocument &doc, const QString &title,
                        const QString &teacher)
{
    const auto printer = PrintSurface::toPdf(pdfPath);
    return TestPrintout(*printer, doc, title, teacher).print();
}
}
