#pragma once
// The editor's print commands: File > Print (the default printer) and
// File > Print to PDF... Both run the same TestPrintout on a PrintSurface;
// only the surface differs.

#include <QString>

class QWidget;
class TestDocument;

namespace PrintCommands {
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
