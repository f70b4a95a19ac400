#include "print/PrintSurface.h"

#include "platform/StagedFile.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

namespace {
// The test redirection of the default printer.
bool g_overrideActive = false;
QString g_overridePdf;

// A PDF page is drawn as a laser printer's: 600 dots per inch, so that a pen
// of 2 dots is the same hairline on paper and in the file, and the usual
// unprintable border of a quarter inch around an A4 sheet.
constexpr int kPdfResolution = 600;
constexpr double kPdfMarginMm = 6.35;

// Why the staged PDF is not whole ("" when it is): the PDF writer does
// not report a short write, but a whole file is not empty and ends with the
// end-of-file marker (blanks and line ends may follow).
QString pdfProblem(const StagedFile &pdf)
{
    const QByteArray tail = pdf.tail(1024);
    if (tail.isEmpty())
        return QStringLiteral("the file is empty");
    return tail.trimmed().endsWith("%%EOF") ? QString() : QStringLiteral("the file is incomplete");
}
}

PrintSurface::PrintSurface(const QString &pdfPath, bool noPrinter)
    : m_pdfPath(pdfPath), m_noPrinter(noPrinter)
{
}

std::unique_ptr<PrintSurface> PrintSurface::toPdf(const QString &pdfPath)
{
    std::unique_ptr<PrintSurface> s(new PrintSurface(pdfPath, false));
    s->m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    s->m_printer->setOutputFormat(QPrinter::PdfFormat);
    s->m_printer->setResolution(kPdfResolution);
    s->m_printer->setFullPage(false);
    s->m_printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                            QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm,
                                                      kPdfMarginMm),
                                            QPageLayout::Millimeter));
    return s;
}

std::unique_ptr<PrintSurface> PrintSurface::toDefaultPrinter()
{
    if (g_overrideActive) {
        if (g_overridePdf.isEmpty())
            return std::unique_ptr<PrintSurface>(new PrintSurface(QString(), true));
        return toPdf(g_overridePdf);
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return std::unique_ptr<PrintSurface>(new PrintSurface(QString(), true));
    std::unique_ptr<PrintSurface> s(new PrintSurface(QString(), false));
    s->m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    s->m_printer->setFullPage(false);
    // The job's name in the spooler (and CUPS-PDF's file name).
    s->m_printer->setDocName(QStringLiteral("Ardeno Test Creator"));
    return s;
}

PrintSurface::~PrintSurface()
{
    if (m_open)
        killDoc();
}

QString PrintSurface::defaultPrinterName()
{
    if (g_overrideActive)
        return g_overridePdf.isEmpty() ? QString() : QStringLiteral("PDF file");
    return QPrinterInfo::defaultPrinterName();
}

void PrintSurface::setDefaultPrinterOverride(const QString &pdfPathOrEmptyForNone)
{
    g_overrideActive = true;
    g_overridePdf = pdfPathOrEmptyForNone;
}

void PrintSurface::clearDefaultPrinterOverride()
{
    g_overrideActive = false;
    g_overridePdf.clear();
}

bool PrintSurface::fail(const QString &why)
{
    m_error = why;
    return false;
}

bool PrintSurface::failToWritePdf(const QString &reason)
{
    m_staged.reset();   // the previous PDF stays, no partial file
    m_fileError = QDir::toNativeSeparators(m_pdfPath) + QStringLiteral(": ") + reason;
    return fail(QStringLiteral("cannot write the PDF file %1: %2").arg(m_pdfPath, reason));
}

bool PrintSurface::failShortPdf(const QString &problem)
{
    // The PDF writer does not say why it stopped; the system tells why the
    // file cannot grow ("No space left on device").
    const QString why = m_staged->writeProblem();
    return failToWritePdf(why.isEmpty() ? problem : why);
}

bool PrintSurface::finishPdf(bool writerSucceeded)
{
    const QString problem = writerSucceeded ? pdfProblem(*m_staged)
                                            : QStringLiteral("the PDF writer reported an error");
    if (!problem.isEmpty())
        return failShortPdf(problem);
    if (!m_staged->commit())
        return failToWritePdf(m_staged->errorString());
    m_staged.reset();
    return true;
}

bool PrintSurface::open()
{
    if (m_open)
        return true;
    if (m_noPrinter || !m_printer)
        return fail(QStringLiteral("no default printer"));
    if (m_ended)
        return fail(QStringLiteral("the document has already been ended"));
    if (!m_pdfPath.isEmpty()) {
        // Made first, so that a missing folder or a read-only file is told
        // in our own words with the system's reason, not as a Qt warning.
        m_staged = std::make_unique<StagedFile>(m_pdfPath);
        if (m_ownerOnly)
            m_staged->makeOwnerOnly();
        if (!m_staged->create())
            return failToWritePdf(m_staged->errorString());
        m_printer->setOutputFileName(m_staged->path());
    }
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        m_painter.reset();
        if (m_staged)
            return failShortPdf(QStringLiteral("the PDF writer could not start"));
        return fail(QStringLiteral("the print job cannot be started"));
    }
    m_open = true;
    m_pages = 1;
    m_inkOnPage = false;
    m_error.clear();
    return true;
}

QFont PrintSurface::currentFont() const
{
    QFont f(m_fontName);
    f.setPointSizeF(m_fontSize);
    f.setBold(m_fontBold);
    // Printed text keeps the font's own widths (no hinting to device pixels),
    // so that fixed-pitch columns stay where they belong.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QString PrintSurface::resolvedFontFamily() const
{
    return QFontInfo(currentFont()).family();
}

int PrintSurface::resolution() const
{
    return m_printer ? m_printer->resolution() : kPdfResolution;
}

double PrintSurface::dotsToMm(double dots) const
{
    return dots * 25.4 / resolution();
}

double PrintSurface::mmToDots(double mm) const
{
    return mm * resolution() / 25.4;
}

double PrintSurface::scaleWidth() const
{
    if (!m_printer)
        return 210.0 - 2 * kPdfMarginMm;
    return m_printer->pageRect(QPrinter::Millimeter).width();
}

double PrintSurface::scaleHeight() const
{
    if (!m_printer)
        return 297.0 - 2 * kPdfMarginMm;
    return m_printer->pageRect(QPrinter::Millimeter).height();
}

double PrintSurface::textHeight() const
{
    if (!m_printer)
        return m_fontSize * 1.15 * 25.4 / 72.0;
    return dotsToMm(QFontMetricsF(currentFont(), m_printer.get()).height());
}

double PrintSurface::textWidth(const QString &text) const
{
    if (!m_printer)
        return 0;
    return dotsToMm(QFontMetricsF(currentFont(), m_printer.get()).horizontalAdvance(text));
}

QStringList PrintSurface::breakToWidth(const QString &text, double widthMm) const
{
    QStringList lines;
    QString rest = text;
    while (rest.size() > 1 && textWidth(rest) > widthMm) {
        // The longest start of rest that fits (at least one character).
        qsizetype lo = 1, hi = rest.size() - 1;
        while (lo < hi) {
            const qsizetype mid = (lo + hi + 1) / 2;
            if (textWidth(rest.left(mid)) <= widthMm)
                lo = mid;
            else
                hi = mid - 1;
        }
        qsizetype cut = lo, next = lo;
        if (rest[lo] == QLatin1Char(' ')) {
            next = lo + 1;
        } else {
            const qsizetype blank = rest.lastIndexOf(QLatin1Char(' '), lo - 1);
            if (blank > 0) {
                cut = blank;
                next = blank + 1;
            }
        }
        lines << rest.left(cut);
        rest = rest.mid(next);
    }
    if (!rest.isEmpty() || lines.isEmpty())
        lines << rest;
    return lines;
}

bool PrintSurface::ensurePageFor(double heightMm)
{
    // A line that does not fit at the bottom goes to the top of a new page.
    // A page that has nothing on it yet keeps the line (it would not fit on
    // the next one either).
    if (m_y + heightMm > scaleHeight() + 1e-9 && (m_inkOnPage || m_y > 0)) {
        const double x = m_x;
        if (!newPage())
            return false;
        m_x = x;
    }
    return true;
}

bool PrintSurface::print(const QString &text, bool lineEnd)
{
    if (!open())
        return false;
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    const QStringList parts = text.split(breaks);
    const QFont font = currentFont();
    const QFontMetricsF fm(font, m_printer.get());
    const double lineMm = dotsToMm(fm.height());
    for (int i = 0; i < parts.size(); ++i) {
        const QString &part = parts.at(i);
        if (!part.isEmpty()) {
            if (!ensurePageFor(lineMm))
                return false;
            m_painter->setFont(font);
            m_painter->setPen(Qt::black);
            m_painter->drawText(QPointF(mmToDots(m_x), mmToDots(m_y) + fm.ascent()), part);
            m_x += dotsToMm(fm.horizontalAdvance(part));
            m_inkOnPage = true;
        }
        if (i + 1 < parts.size() || lineEnd) {
            m_x = 0;
            m_y += lineMm;
        }
    }
    if (m_printer->printerState() == QPrinter::Error)
        return fail(QStringLiteral("the printer reported an error"));
    return true;
}

bool PrintSurface::drawLine(const QPointF &fromMm, const QPointF &toMm, int penDots)
{
    if (!open())
        return false;
    m_painter->setPen(QPen(Qt::black, qMax(1, penDots), Qt::SolidLine, Qt::FlatCap));
    m_painter->drawLine(QPointF(mmToDots(fromMm.x()), mmToDots(fromMm.y())),
                        QPointF(mmToDots(toMm.x()), mmToDots(toMm.y())));
    m_inkOnPage = true;
    return true;
}

bool PrintSurface::drawRect(const QRectF &rectMm, int penDots)
{
    if (!open())
        return false;
    m_painter->setPen(QPen(Qt::black, qMax(1, penDots), Qt::SolidLine, Qt::SquareCap,
                           Qt::MiterJoin));
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawRect(QRectF(mmToDots(rectMm.x()), mmToDots(rectMm.y()),
                               mmToDots(rectMm.width()), mmToDots(rectMm.height())));
    m_inkOnPage = true;
    return true;
}

QRectF PrintSurface::toDots(const QRectF &rectMm) const
{
    return {mmToDots(rectMm.x()), mmToDots(rectMm.y()), mmToDots(rectMm.width()), mmToDots(rectMm.height())};
}

bool PrintSurface::fillRect(const QRectF &rectMm)
{
    if (!open())
        return false;
    m_painter->fillRect(toDots(rectMm), Qt::black);
    m_inkOnPage = true;
    return true;
}

bool PrintSurface::drawEllipse(const QRectF &rectMm, int penDots)
{
    if (!open())
        return false;
    m_painter->setRenderHint(QPainter::Antialiasing, true);
    m_painter->setPen(QPen(Qt::black, qMax(1, penDots)));
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawEllipse(toDots(rectMm));
    m_inkOnPage = true;
    return true;
}

bool PrintSurface::drawText(const QRectF &rectMm, const QString &text, int alignment)
{
    if (!open())
        return false;
    m_painter->setFont(currentFont());
    m_painter->setPen(Qt::black);
    m_painter->drawText(toDots(rectMm), alignment, text);
    m_inkOnPage = true;
    return true;
}

void PrintSurface::setPaper(const QSizeF &sizeMm)
{
    if (!m_printer || m_open)
        return;
    QPageLayout layout = m_printer->pageLayout();
    layout.setPageSize(QPageSize(sizeMm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
    m_printer->setPageLayout(layout);
}

QPointF PrintSurface::printableOrigin() const
{
    if (!m_printer)
        return {kPdfMarginMm, kPdfMarginMm};
    return m_printer->pageLayout().paintRect(QPageLayout::Millimeter).topLeft();
}

bool PrintSurface::drawImage(const QImage &image, const QRectF &rectMm)
{
    if (!open())
        return false;
    if (image.isNull())
        return fail(QStringLiteral("empty picture"));
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    m_painter->drawImage(QRectF(mmToDots(rectMm.x()), mmToDots(rectMm.y()),
                                mmToDots(rectMm.width()), mmToDots(rectMm.height())),
                         image);
    m_inkOnPage = true;
    return true;
}

bool PrintSurface::newPage()
{
    if (!open())
        return false;
    if (!m_printer->newPage())
        return fail(QStringLiteral("cannot start a new page"));
    ++m_pages;
    m_x = 0;
    m_y = 0;
    m_inkOnPage = false;
    return true;
}

bool PrintSurface::endDoc()
{
    if (!open())
        return false;
    const bool ended = m_painter->end();
    const bool error = m_printer->printerState() == QPrinter::Error;
    m_painter.reset();
    m_open = false;
    m_ended = true;
    if (m_staged)
        return finishPdf(ended && !error);
    if (!ended || error)
        return fail(QStringLiteral("the print job could not be sent"));
    return true;
}

void PrintSurface::killDoc()
{
    if (!m_open)
        return;
    m_printer->abort();
    if (m_painter && m_painter->isActive())
        m_painter->end();
    m_painter.reset();
    m_open = false;
    m_ended = true;
    // A half-written PDF is of no use to anyone; the previous one stays.
    m_staged.reset();
}
