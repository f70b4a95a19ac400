#pragma once
// The printer the program draws on, the way the printouts describe it: a page
// measured in millimetres from the top-left corner of its printable area,
// with a current position, a current font, text output with line ends,
// lines and rectangle outlines with a pen width in device dots, pictures,
// new pages and an end of document.
//
// The same drawing code goes either to the system's default printer (QPrinter
// through CUPS) or into a PDF file. Nothing touches the printer until the
// first output: that opens the job, as the first Print on a Windows printer
// does. Every operation reports failure (no default printer, a job that cannot
// be started, written or sent) by returning false; errorString() says why, so
// the callers can show their own fixed messages.
//
// A PDF is drawn into a temporary file beside the target and replaces the
// target only when it is whole, so a full disk or a cancelled job keeps the
// previous PDF (or none) and leaves no partial file.

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <memory>

class QPainter;
class QPagedPaintDevice;
class QPrinter;
class StagedFile;

class PrintSurface {
public:
    // A PDF file (A4), drawn exactly as the printer would be.
    static std::unique_ptr<PrintSurface> toPdf(const QString &pdfPath);
    // The default printer (or the test redirection below).
    static std::unique_ptr<PrintSurface> toDefaultPrinter();
    ~PrintSurface();   // a job that was opened but not ended is cancelled

    PrintSurface(const PrintSurface &) = delete;
    PrintSurface &operator=(const PrintSurface &) = delete;

    // The name of the default printer, "" when there is none.
    static QString defaultPrinterName();

    // Tests send "default printer" output to a PDF file, or make it missing
    // (an empty path). Cleared by clearDefaultPrinterOverride().
    static void setDefaultPrinterOverride(const QString &pdfPathOrEmptyForNone);
    static void clearDefaultPrinterOverride();

    // What went wrong last ("no default printer", ...); "" when nothing did.
    QString errorString() const { return m_error; }
    // When the PDF file could not be written: the file and the system's
    // reason ("/home/anna/quiz.pdf: No space left on device"); "" otherwise.
    QString fileError() const { return m_fileError; }
    bool isPdf() const { return !m_pdfPath.isEmpty(); }
    // The PDF readable by its owner alone (before anything is drawn): a
    // report made of private files is never more open than they are.
    void makeOwnerOnly() { m_ownerOnly = true; }
    QString pdfPath() const { return m_pdfPath; }

    // Position in millimetres from the top-left corner of the printable area.
    double currentX() const { return m_x; }
    double currentY() const { return m_y; }
    void setCurrentX(double mm) { m_x = mm; }
    void setCurrentY(double mm) { m_y = mm; }

    // The printer's current font. A new surface starts with the printer's
    // own default: "Arial" 10 points, not bold.
    QString fontName() const { return m_fontName; }
    double fontSize() const { return m_fontSize; }
    bool fontBold() const { return m_fontBold; }
    void setFontName(const QString &name) { m_fontName = name; }
    void setFontSize(double points) { m_fontSize = points; }
    void setFontBold(bool bold) { m_fontBold = bold; }
    // The family the current font resolves to on this system (e.g.
    // "Liberation Mono" for "courier new").
    QString resolvedFontFamily() const;

    // The printable area in millimetres. Valid before the job is opened.
    double scaleWidth() const;
    double scaleHeight() const;
    // Device dots per inch of the page.
    int resolution() const;

    // Height of one line of the current font, in millimetres.
    double textHeight() const;
    double textWidth(const QString &text) const;
    // text cut into lines no wider than widthMm in the current font: at the
    // last blank that fits (the blank itself is dropped), or, for a word
    // longer than the width, between characters. Always at least one line,
    // and at least one character on each.
    QStringList breakToWidth(const QString &text, double widthMm) const;

    // Prints text at the current position (its top at currentY). With
    // lineEnd, x becomes 0 and y moves down one line of the current font;
    // without it, x moves past the text. A line that does not fit at the
    // bottom of the page goes to the top of a new page. CR LF, CR or LF
    // inside text start new lines.
    bool print(const QString &text = QString(), bool lineEnd = true);

    bool drawLine(const QPointF &fromMm, const QPointF &toMm, int penDots);
    bool drawRect(const QRectF &rectMm, int penDots);
    // An image drawn into a rectangle given in millimetres (its natural
    // size is the caller's measurement).
    bool drawImage(const QImage &image, const QRectF &rectMm);
    // A solid black rectangle; a circle's (or ellipse's) outline.
    bool fillRect(const QRectF &rectMm);
    bool drawEllipse(const QRectF &rectMm, int penDots);
    // Text in the current font inside a rectangle, aligned as told (Qt's
    // alignment flags); the position does not move.
    bool drawText(const QRectF &rectMm, const QString &text, int alignment);

    // Before the first output: the paper (A4 unless told) of the job.
    void setPaper(const QSizeF &sizeMm);
    // Where the printable area's top-left corner is on the paper, in
    // millimetres: what a drawing placed by the paper's edges takes off.
    QPointF printableOrigin() const;

    // Starts a new page; the position goes to 0, 0.
    bool newPage();
    // Ends the document: sends the job to the printer (or closes the PDF).
    // A surface on which nothing was drawn sends one empty page.
    bool endDoc();
    // Cancels an open job; nothing is sent.
    void killDoc();

    bool isOpen() const { return m_open; }
    int pageCount() const { return m_pages; }

private:
    explicit PrintSurface(const QString &pdfPath, bool noPrinter);
    bool open();
    bool fail(const QString &why);
    bool failToWritePdf(const QString &reason);
    bool failShortPdf(const QString &problem);
    bool finishPdf(bool writerSucceeded);
    QFont currentFont() const;
    double dotsToMm(double dots) const;
    double mmToDots(double mm) const;
    QRectF toDots(const QRectF &rectMm) const;
    bool ensurePageFor(double heightMm);

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<StagedFile> m_staged;   // the PDF while it is drawn
    bool m_ownerOnly = false;
    QString m_pdfPath;
    QString m_error;
    QString m_fileError;
    bool m_noPrinter = false;
    bool m_open = false;
    bool m_ended = false;
    bool m_inkOnPage = false;
    int m_pages = 0;
    double m_x = 0;
    double m_y = 0;
    QString m_fontName = QStringLiteral("Arial");
    double m_fontSize = 10;
    bool m_fontBold = false;
};
