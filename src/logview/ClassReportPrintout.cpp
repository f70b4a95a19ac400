#include "logview/ClassReportPrintout.h"

#include "classresults/ItemAnalysisModel.h"
#include "logview/ClassCharts.h"
#include "print/PrintSurface.h"

#include <QDate>
#include <algorithm>
#include <QLocale>

namespace {
constexpr double kChartHeight = 62;   // mm
constexpr int kChartDpi = 110;   // the charts' own texts stay legible on paper

// The questions a result got wrong: "Q3, Q5".
QString wrongOnes(const StudentResult &r)
{
    QStringList out;
    for (int q = 0; q < r.total; ++q)
        if (!r.isRight(q))
            out << QStringLiteral("Q%1").arg(q + 1);
    return out.isEmpty() ? QObject::tr("none") : out.join(QStringLiteral(", "));
}

// A name as one line: line breaks and control characters become blanks.
QString oneLine(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return out.simplified();
}

// The lines each cell of a row takes at the given columns (x in mm): a
// cell is wrapped, never cut.
QList<QStringList> cellLines(PrintSurface &p, const QList<double> &columns, const QStringList &cells, double width)
{
    QList<QStringList> out;
    for (int c = 0; c < cells.size(); ++c) {
        const double room = (c + 1 < columns.size() ? columns[c + 1] : width) - columns[c] - 2;
        QStringList lines = p.breakToWidth(cells[c], room);
        if (lines.isEmpty())
            lines << QString();
        out << lines;
    }
    return out;
}

int lineCount(const QList<QStringList> &cells)
{
    qsizetype n = 1;
    for (const QStringList &lines : cells)
        n = std::max(n, lines.size());
    return int(n);
}

// Prints one row, each cell wrapped within its column.
bool row(PrintSurface &p, const QList<double> &columns, const QStringList &cells, double width)
{
    const QList<QStringList> lines = cellLines(p, columns, cells, width);
    const double y = p.currentY();
    bool ok = true;
    for (int c = 0; c < lines.size(); ++c) {
        for (int l = 0; l < lines[c].size(); ++l) {
            p.setCurrentX(columns[c]);
            p.setCurrentY(y + l * p.textHeight());
            ok = ok && p.print(lines[c][l], false);
        }
    }
    p.setCurrentX(0);
    p.setCurrentY(y + lineCount(lines) * p.textHeight());
    return ok;
}

// "12 March 2026" or "12 March 2026 to 19 March 2026": when the attempts
// counted were handed in.
QString dateRange(const ClassResults &results, const QList<const StudentResult *> &rows)
{
    QDate first, last;
    for (const StudentResult *r : rows) {
        const QDate d = r->date.date();
        if (!d.isValid())
            continue;
        first = first.isValid() ? std::min(first, d) : d;
        last = last.isValid() ? std::max(last, d) : d;
    }
    Q_UNUSED(results);
    if (!first.isValid())
        return {};
    const QString a = QLocale().toString(first, QLocale::LongFormat);
    return first == last ? a : QObject::tr("%1 to %2").arg(a, QLocale().toString(last, QLocale::LongFormat));
}
}

namespace ClassReportPrintout {
bool print(PrintSurface &p, const ClassResults &results, const ClassTableModel &table)
{
    // A report made of logs only their owner may read is the owner's alone.
    if (results.holdsPrivateLogs())
        p.makeOwnerOnly();
    const ClassFigures &f = table.figures();
    const double width = p.scaleWidth(), height = p.scaleHeight();
    p.setFontName(QStringLiteral("Arial"));
    p.setFontBold(true);
    p.setFontSize(14);
    bool ok = p.print(QObject::tr("Class results: %1").arg(results.testTitle()));
    p.setFontBold(false);
    p.setFontSize(10);
    // The class line of the test, and when its attempts were handed in.
    const QList<const StudentResult *> rows = table.rows();
    QString classLine;
    for (const StudentResult *r : rows)
        if (classLine.isEmpty())
            classLine = oneLine(r->teacher);
    const QString when = dateRange(results, rows);
    if (!classLine.isEmpty() || !when.isEmpty())
        ok = ok && p.print(classLine.isEmpty() ? QObject::tr("Handed in %1.").arg(when)
                           : when.isEmpty()    ? classLine
                                               : QObject::tr("%1. Handed in %2.").arg(classLine, when));
    ok = ok && p.print(QObject::tr("%1 results of %2 questions, printed %3.")
                           .arg(f.students)
                           .arg(results.questionCount())
                           .arg(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)));
    if (f.students > 0) {
        ok = ok && p.print(QObject::tr("Score: mean %1 (%2%), median %3, highest %4, lowest %5.")
                               .arg(f.score.mean, 0, 'f', 1).arg(f.percent.mean, 0, 'f', 0).arg(f.score.median)
                               .arg(f.score.highest).arg(f.score.lowest));
        ok = ok && p.print(QObject::tr("Time: mean %1, median %2, longest %3, shortest %4.")
                               .arg(ClassTableModel::clockText(qRound(f.time.mean)),
                                    ClassTableModel::clockText(qRound(f.time.median)),
                                    ClassTableModel::clockText(f.time.highest), ClassTableModel::clockText(f.time.lowest)));
        // The test's figures: spread, reliability, error of measurement.
        for (const QString &text : p.breakToWidth(ItemAnalysisModel::testFiguresText(f), width))
            ok = ok && p.print(text);
    }
    p.print();

    QList<const QuestionFigures *> concerns;
    for (const QuestionFigures &q : f.questions)
        if (!q.concern.isEmpty())
            concerns << &q;
    constexpr int kMostConcerns = 12;
    const int concernLines = concerns.isEmpty() ? 0 : int(std::min<qsizetype>(concerns.size(), kMostConcerns)) + 3;

    // The table takes what the charts and the questions worth a look leave.
    p.setFontSize(9);
    const double line = p.textHeight();
    const double tableRoom = height - p.currentY() - kChartHeight - 6 - (concernLines + 1) * line;
    const int fittingLines = std::max(0, int(tableRoom / line) - 2);
    const QList<double> columns = {0, 60, 80, 97, 112};
    const QStringList headings = {QObject::tr("Student"), QObject::tr("Score"), QObject::tr("Percent"), QObject::tr("Time"),
                                  QObject::tr("Wrong or unanswered")};
    const auto heading = [&] {
        p.setFontBold(true);
        const bool printed = row(p, columns, headings, width);
        p.setFontBold(false);
        return printed;
    };
    ok = ok && heading();
    // A student who handed in more than once: which attempt this row is,
    // and whether the figures count it.
    const auto cells = [&](const StudentResult &r) {
        const int i = int(&r - results.results().constData());
        QString name = oneLine(r.name);
        if (results.attemptsOf(i) > 1)
            name += results.isCountedAttempt(i, table.filter()) ? QObject::tr(" (counted attempt)")
                                                                : QObject::tr(" (not counted)");
        return QStringList{name, QStringLiteral("%1/%2").arg(r.score).arg(r.total), QStringLiteral("%1%").arg(r.percent),
                           ClassTableModel::clockText(r.seconds), wrongOnes(r)};
    };
    const auto linesOf = [&](const StudentResult &r) { return lineCount(cellLines(p, columns, cells(r), width)); };
    // Every row whole: as many as fit on the first page, the rest on the
    // pages after the charts.
    int shown = 0;
    for (int used = 0; shown < rows.size() && used + linesOf(*rows[shown]) <= fittingLines - 1; ++shown)
        used += linesOf(*rows[shown]);
    for (int i = 0; i < shown; ++i)
        ok = ok && row(p, columns, cells(*rows[i]), width);
    if (shown < rows.size())
        ok = ok && p.print(QObject::tr("The other %1 are on the next page.").arg(rows.size() - shown));

    // Both charts side by side.
    // The reason names this computer's folders: the window shows it, the
    // report that leaves the computer does not.
    if (!ClassCharts::drawing()) {
        ok = ok && p.print(QObject::tr("The charts cannot be drawn on this computer (a part of the program is missing)."));
    } else {
        const double top = p.currentY() + 3;
        const double chartWidth = (width - 4) / 2;
        const QSize pixels(int(chartWidth / 25.4 * kChartDpi), int(kChartHeight / 25.4 * kChartDpi));
        ok = ok && p.drawImage(ClassCharts::picture(ClassCharts::distribution(f), pixels), QRectF(0, top, chartWidth, kChartHeight));
        ok = ok && p.drawImage(ClassCharts::picture(ClassCharts::facility(f), pixels),
                               QRectF(chartWidth + 4, top, chartWidth, kChartHeight));
        p.setCurrentX(0);
        p.setCurrentY(top + kChartHeight + 3);
    }

    if (!concerns.isEmpty()) {
        // Each with its text (when the test is known), how many chose each
        // option, and why it is worth a look.
        p.setFontBold(true);
        ok = ok && p.print(QObject::tr("Questions worth a look"));
        const QList<double> concernColumns = {0, 70, 118};
        ok = ok && row(p, concernColumns, {QObject::tr("Question"), QObject::tr("Each option"), QObject::tr("Why")}, width);
        p.setFontBold(false);
        for (int i = 0; i < concerns.size() && i < kMostConcerns; ++i) {
            const QuestionFigures &q = *concerns[i];
            const QString question = q.text.isEmpty() ? QStringLiteral("Q%1").arg(q.number)
                                                      : QStringLiteral("Q%1: %2").arg(q.number).arg(oneLine(q.text));
            ok = ok && row(p, concernColumns, {question, ItemAnalysisModel::optionsText(q), q.concern}, width);
        }
        if (concerns.size() > kMostConcerns)
            ok = ok && p.print(QObject::tr("... and %1 more.").arg(concerns.size() - kMostConcerns));
    }
    if (shown < rows.size()) {
        ok = ok && p.newPage();
        p.setFontSize(9);
        ok = ok && heading();
        for (int i = shown; i < rows.size(); ++i) {
            if (p.currentY() + linesOf(*rows[i]) * line > height) {
                ok = ok && p.newPage();
                ok = ok && heading();
            }
            ok = ok && row(p, columns, cells(*rows[i]), width);
        }
    }
    return ok && p.endDoc();
}
}
