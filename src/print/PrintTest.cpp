#include "PrintTest.h"

#include "PrintSurface.h"
#include "TestDocument.h"

int TestPrintout::LeftMargin = 10;
bool TestPrintout::PrintKeyWanted = false;

TestPrintout::TestPrintout(PrintSurface &printer, const TestDocument &doc, const QString &title,
                           const QString &teacher)
    : m_printer(printer), m_doc(doc), m_title(title), m_teacher(teacher)
{
}

bool TestPrintout::mnuFilePrint_Click() { return false; }
bool TestPrintout::checkPrintable() const { return false; }
bool TestPrintout::PrintHeader() { return false; }
bool TestPrintout::PrintMultipleChoice(const QString &, int) { return false; }
bool TestPrintout::PrintTrueFalse(const QString &, int) { return false; }
bool TestPrintout::PrintKey() { return false; }
QStringList TestPrintout::wrapQuestion(const QString &, int) { return {}; }
QString TestPrintout::keyAnswer(const QString &) { return {}; }
QString TestPrintout::keyLine(const QString &, int) { return {}; }

namespace PrintCommands {
void printTest(QWidget *, const TestDocument &, const QString &, const QString &) {}
void printTestToPdf(QWidget *, const TestDocument &, const QString &, const QString &) {}
bool printTestToPdfFile(const QString &, const TestDocument &, const QString &, const QString &)
{ return false; }
}
