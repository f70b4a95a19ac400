#include "print/ScoreSheetPrintout.h"

#include "platform/MsgBox.h"
#include "print/PrintCommands.h"
#include "print/PrintSurface.h"

namespace ScoreSheetPrintout {

bool print(PrintSurface &printer, const QString &first, const QString &second,
                const QString &third)
{
    // The sheet uses the printer's own font and position: no unit, position
    // or font of its own.
    const bool ok = printer.print() && printer.print(first) && printer.print(second)
        && printer.print(third) && printer.endDoc();
    if (!ok) {
        printer.killDoc();
        MsgBox(QStringLiteral("There was an error printing the quiz score."), MsgIcon::Critical);
    }
    return ok;
}

bool print(const QString &first, const QString &second, const QString &third)
{
    // Without a printer the sheet goes into a PDF file, as a test does.
    const PrintCommands::PrintRoute route = PrintCommands::choosePrintRoute(QStringLiteral("score.pdf"));
    if (route.to == PrintCommands::PrintRoute::To::Nowhere)
        return false;
    const auto printer = route.to == PrintCommands::PrintRoute::To::Pdf ? PrintSurface::toPdf(route.pdfPath)
                                                                        : PrintSurface::toDefaultPrinter();
    return print(*printer, first, second, third);
}
}
