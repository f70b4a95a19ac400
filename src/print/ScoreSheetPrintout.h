#pragma once
// The score sheet a student may print at the end of a preview: an empty line
// and three lines of text in the printer's own font, at the top of a page.

#include <QString>

class PrintSurface;

namespace ScoreSheetPrintout {
// Prints the three lines on the default printer and ends the document (on
// a computer without a printer, into a PDF file after asking). On failure
// shows "There was an error printing the quiz score." (critical) and
// returns false.
bool print(const QString &first, const QString &second, const QString &third);
// The same on a given surface (tests, PDF).
bool print(PrintSurface &printer, const QString &first, const QString &second,
                const QString &third);
}
