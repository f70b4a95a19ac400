#pragma once
// The score log on paper: the log's file name, an empty line, and the log's
// lines in the printer's own font and page flow. A lone LF is part of its
// line and prints as the viewer's mark; a line wider than the page goes on
// below at the left edge instead of being cut off.

#include <QString>

class PrintSurface;

// text: the viewer's CR LF text. Returns false when the printer failed (the
// caller cancels the job and says so).
bool printScoreLog(PrintSurface &printer, const QString &logFileName, const QString &text);
