#include "paper/AnswerSheetPrintout.h"

#include "classresults/ResultLogText.h"
#include "document/QuestionView.h"
#include "paper/PaperTest.h"
#include "paper/SheetCode.h"
#include "paper/TestVersion.h"
#include "pictures/QrCode.h"
#include "platform/WorkProgress.h"
#include "print/PrintSurface.h"

#include <QCoreApplication>
#include <QImage>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("AnswerSheetPrintout", text);
}

// Draws in the sheet's own millimetres (SheetLayout) on the surface, whose
// origin is the corner of what the printer prints.
class SheetPainter {
public:
    SheetPainter(PrintSurface &surface, const SheetLayout &layout)
        : m_surface(surface), m_shift(layout.originOnPage() - surface.printableOrigin())
    {
    }
    QRectF place(const QRectF &r) const { return r.translated(m_shift); }
    bool fill(const QRectF &r) { return m_surface.fillRect(place(r)); }
    bool circle(const QRectF &r) { return m_surface.drawEllipse(place(r), 4); }
    bool frame(const QRectF &r) { return m_surface.drawRect(place(r), 3); }
    bool text(const QRectF &r, const QString &t, int align, double points, bool bold = false)
    {
        m_surface.setFontName(QStringLiteral("Arial"));
        m_surface.setFontSize(points);
        m_surface.setFontBold(bold);
        return m_surface.drawText(place(r), t, align);
    }
    // The code drawn as squares, so it stays sharp at any printer's resolution.
    bool code(const QRectF &r, const QByteArray &bytes)
    {
        const QImage modules = QrCode::image(bytes, 1);
        if (modules.isNull())
            return false;
        const double side = r.width() / modules.width();
        for (int y = 0; y < modules.height(); ++y) {
            const uchar *line = modules.constScanLine(y);
            for (int x = 0; x < modules.width();) {
                if (line[x]) {
                    ++x;
                    continue;
                }
                int end = x;
                while (end < modules.width() && !line[end])
                    ++end;
                if (!fill(QRectF(r.left() + x * side, r.top() + y * side, (end - x) * side, side)))
                    return false;
                x = end;
            }
        }
        return true;
    }

private:
    PrintSurface &m_surface;
    QPointF m_shift;
};

bool drawSheet(SheetPainter &p, const SheetLayout &layout, const AnswerSheetRun &run, const TestVersion &version,
               const SheetCode &code)
{
    for (int corner = 0; corner < 4; ++corner)
        if (!p.fill(layout.markerRect(corner)))
            return false;
    if (!p.code(layout.codeRect(), code.bytes()))
        return false;
    const QRectF heading = layout.headingRect();
    const int left = Qt::AlignLeft | Qt::AlignVCenter;
    p.text(QRectF(heading.left(), heading.top(), heading.width(), 8), run.title, left, 13, true);
    p.text(QRectF(heading.left(), heading.top() + 8, heading.width(), 6), run.teacher, left, 10);
    QString line = QLocale().toString(run.date, QLocale::LongFormat);
    if (run.versions > 1)
        line += QStringLiteral("    ") + tr("Version %1").arg(code.version);
    line += QStringLiteral("    ") + tr("Sheet %1").arg(code.sheet);
    p.text(QRectF(heading.left(), heading.top() + 14, heading.width(), 6), line, left, 10);
    const QRectF name = layout.nameRect();
    p.text(QRectF(name.left() + 2, name.top(), 16, name.height()), tr("Name:"), left, 11);
    if (code.name.isEmpty())
        p.frame(QRectF(name.left() + 18, name.top() + 1, name.width() - 18, name.height() - 2));
    else
        p.text(QRectF(name.left() + 18, name.top(), name.width() - 18, name.height()), code.name, left, 13, true);
    p.text(QRectF(layout.headingRect().left(), 40, layout.codeRect().right() - layout.headingRect().left(), 8),
           tr("Fill one bubble for each question with a dark pencil or pen. To change an answer, rub it out "
              "completely."),
           left, 9);

    for (int place = 0; place < version.questionCount(); ++place) {
        p.text(layout.numberRect(place), QString::number(place + 1) + QLatin1Char('.'), Qt::AlignRight | Qt::AlignVCenter,
               10, true);
        const bool trueFalse = version.optionsAt(place) == 2;
        for (int option = 0; option < version.optionsAt(place); ++option) {
            const QPointF c = layout.bubbleCentre(place, option);
            const double r = SheetLayout::BubbleRadius;
            const QRectF bubble(c.x() - r, c.y() - r, 2 * r, 2 * r);
            if (!p.circle(bubble))
                return false;
            const QString letter = trueFalse ? QStringLiteral("TF").mid(option, 1) : QString(QChar(u'A' + option));
            p.text(bubble, letter, Qt::AlignCenter, 7.5);
        }
    }
    return true;
}
}

QString AnswerSheetRun::problem() const
{
    if (records.isEmpty())
        return tr("The test has no questions.");
    if (records.size() > SheetLayout(paper).capacity())
        return tr("An answer sheet holds %1 questions.").arg(SheetLayout(paper).capacity());
    if (sheetCount() < 1)
        return tr("There is no student to print a sheet for.");
    if (versions < 1 || versions > TestVersion::MostVersions)
        return tr("A test is printed in 1 to %1 versions.").arg(TestVersion::MostVersions);
    // The name goes into the sheet's code and the result log's file name.
    for (const QString &name : names)
        if (name.toUtf8().size() > ResultLogText::MaxNameBytes)
            return tr("The name \"%1...\" is longer than a sheet holds.").arg(name.left(30));
    return QString();
}

namespace AnswerSheetPrintout {
bool print(PrintSurface &surface, const AnswerSheetRun &run, WorkProgress *progress)
{
    const SheetLayout layout(run.paper);
    surface.setPaper(layout.pageSize());
    const PaperTest test(run.title, run.teacher, run.records);
    if (progress)
        progress->setTotal(run.sheetCount());
    SheetPainter painter(surface, layout);
    for (int sheet = 1; sheet <= run.sheetCount(); ++sheet) {
        if (WorkProgress::stopped(progress)) {
            surface.killDoc();
            return false;
        }
        if (sheet > 1 && !surface.newPage())
            return false;
        SheetCode code;
        code.test = test.fingerprint();
        code.paper = run.paper;
        code.version = run.versionOf(sheet);
        code.sheet = sheet;
        code.name = run.names.value(sheet - 1);
        if (!drawSheet(painter, layout, run, test.version(code.version), code))
            return false;
        if (progress)
            progress->advance();
    }
    return surface.endDoc();
}
}
