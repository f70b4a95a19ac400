#pragma once
// The editor's print commands: File > Print (the default printer) and
// File > Print to PDF... Both run the same TestPrintout on a PrintSurface;
// only the surface differs.

#include <QString>

class QWidget;
class TestDocument;

namespace PrintCommands {
// Where a print goes: the default printer, or, on a computer without any
// printer, the PDF file the user chose after being told so (one question,
// then a save dialog). `pdfName` is the name proposed for the PDF file.
struct PrintRoute {
    enum class To { Printer, Pdf, Nowhere };
    To to = To::Printer;
    QString pdfPath;
};
PrintRoute choosePrintRoute(const QString &pdfName);
// The save dialog for a PDF file; "" when cancelled.
QString askPdfPath(const QString &title, const QString &pdfName);

// File > Print: the printout on the default printer.
void printTest(QWidget *owner, const TestDocument &doc, const QString &title,
               const QString &teacher);
// File > Print to PDF...: the same checks, then a save dialog for the PDF
// file, then the same printout into that file.
void printTestToPdf(QWidget *owner, const TestDocument &doc, const QString &title,
                    const QString &teacher);
// The printout into a PDF file without a dialog (ardeno-tool and tests).
bool printTestToPdfFile(const QString &pdfPath, const TestDocument &doc, const QString &title,
                        const QString &teacher);
}
