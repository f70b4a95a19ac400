#pragma once
// Reading a printed PDF back with poppler-utils: its text as laid out on the
// page, its page count and fonts, and page images for positions.

#include <QImage>
#include <QMap>
#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

namespace PdfProbe {
inline bool available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

inline QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The lines of a page printed in a fixed-pitch font, rebuilt with their exact
// blanks from the word positions (pdftotext -layout guesses blanks). Column 0
// is at leftMm from the page's left edge; the pitch is that of most words.
inline QStringList fixedPitchLines(const QString &pdf, int page, double leftMm)
{
    const QString html = run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                              QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"[\\d.]+\">([^<]*)</word>"));
    struct Word { double x0, x1; QString text; };
    QMap<int, QList<Word>> rows;   // by yMin in tenths of a point
    QList<double> pitches;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        QString t = m.captured(4);
        t.replace(QLatin1String("&amp;"), QLatin1String("&")).replace(QLatin1String("&lt;"), QLatin1String("<"))
         .replace(QLatin1String("&gt;"), QLatin1String(">")).replace(QLatin1String("&quot;"), QLatin1String("\""));
        const Word w{m.captured(1).toDouble(), m.captured(3).toDouble(), t};
        rows[qRound(m.captured(2).toDouble() * 10)].append(w);
        if (!t.isEmpty())
            pitches << (w.x1 - w.x0) / t.size();
    }
    if (pitches.isEmpty())
        return {};
    std::sort(pitches.begin(), pitches.end());
    const double pitch = pitches.at(pitches.size() / 2);
    const double left = leftMm / 25.4 * 72;
    QStringList lines;
    for (auto &row : rows) {
        std::sort(row.begin(), row.end(), [](const Word &a, const Word &b) { return a.x0 < b.x0; });
        QString line;
        for (const Word &w : row) {
            const int col = qMax(0, qRound((w.x0 - left) / pitch));
            if (line.size() < col)
                line += QString(col - line.size(), QLatin1Char(' '));
            line += w.text;
        }
        lines << line;
    }
    return lines;
}

inline int pageCount(const QString &pdf)
{
    for (const QString &line : run(QStringLiteral("pdfinfo"), {pdf}).split('\n'))
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

inline QString fonts(const QString &pdf)
{
    return run(QStringLiteral("pdffonts"), {pdf});
}

// Page `page` (1-based) at 254 dpi: ten pixels to the millimetre.
inline QImage pageImage(const QString &pdf, int page, int dpi = 254)
{
    QTemporaryDir dir;
    const QString stem = dir.path() + QStringLiteral("/p");
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(page),
             QStringLiteral("-l"), QString::number(page), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), pdf, stem});
    p.waitForFinished(60000);
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

inline bool isDark(QRgb c) { return qGray(c) < 128; }
// Hairlines of a few printer dots come out grey at screen resolutions.
inline bool isInk(QRgb c) { return qGray(c) < 200; }
inline bool isRed(QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; }

// The bounding box of the pixels for which pred holds.
template <typename Pred>
QRect bounds(const QImage &img, Pred pred, const QRect &within = QRect())
{
    const QRect area = within.isNull() ? img.rect() : within.intersected(img.rect());
    int l = INT_MAX, t = INT_MAX, r = -1, b = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x)
            if (pred(line[x])) {
                l = qMin(l, x); r = qMax(r, x); t = qMin(t, y); b = qMax(b, y);
            }
    }
    return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}
}
