#pragma once
// The class report on one page: the test and the class's figures, a table
// of the results shown (as many as the page holds; the CSV export has them
// all), both charts, and the questions worth a look.

#include "classresults/ClassTableModel.h"

class PrintSurface;

namespace ClassReportPrintout {
// Draws the report and ends the document; false with the surface's reason
// when the printer or the PDF file failed.
bool print(PrintSurface &printer, const ClassResults &results, const ClassTableModel &table);
}
