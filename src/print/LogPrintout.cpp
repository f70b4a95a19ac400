#include "print/LogPrintout.h"

#include "print/PrintSurface.h"
#include "document/ScoreLog.h"

bool printScoreLog(PrintSurface &printer, const QString &logFileName, const QString &text)
{
    QStringList lines{logFileName, QString(), QString()};
    lines += text.split(QStringLiteral("\r\n"));
    if (!printer.print())
        return false;
    for (const QString &line : lines) {
        // A lone CR never reaches here (it ends a line when the log is read).
        for (const QString &piece : printer.breakToWidth(ScoreLog::withMarks(line), printer.scaleWidth())) {
            printer.setCurrentX(0);
            if (!printer.print(piece))
                return false;
        }
    }
    return printer.endDoc();
}
