#include "print/TestPrintout.h"

#include "document/FileKind.h"
#include "document/MediaLookup.h"
#include "platform/MsgBox.h"
#include "pictures/PictureLoader.h"
#include "platform/Platform.h"
#include "print/PrintSurface.h"
#include "document/QuestionRecord.h"
#include "document/QuestionView.h"
#include "document/ScoreLog.h"
#include "document/TestDocument.h"

#include <QCursor>
#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

int TestPrintout::LeftMargin = 10;
bool TestPrintout::PrintKeyWanted = false;

namespace {
const QString kErrorPrintingTest = QStringLiteral("There has been an error in printing this test.");

// Fixed pitch, so that the 95-character lines and the tick boxes line up.
const QString kQuestionFont = QStringLiteral("courier new");
constexpr int kPenDots = 2;
constexpr int kWrapColumn = 95;
constexpr double kMetafileDpi = 300;
constexpr int kMaxMetafileSide = 6000;

// Whole millimetres as the printer rounds them: halves to even.
double roundMm(double mm)
{
    return std::nearbyint(mm);
}

}

TestPrintout::~TestPrintout()
{
    setBusy(false);
}

void TestPrintout::setBusy(bool busy)
{
    if (busy == m_busy || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    if (busy)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::restoreOverrideCursor();
    m_busy = busy;
}

void TestPrintout::showError(const QString &text)
{
    // A message is answered with the ordinary pointer.
    const bool busy = m_busy;
    setBusy(false);
    QString shown = text;
    if (!m_fileErrorShown && !m_printer.fileError().isEmpty()) {
        shown += QStringLiteral("\n\n") + m_printer.fileError();
        m_fileErrorShown = true;
    }
    MsgBox(shown, MsgIcon::Critical);
    setBusy(busy);
}

TestPrintout::TestPrintout(PrintSurface &printer, const TestDocument &doc, const QString &title,
                           const QString &teacher)
    : m_printer(printer), m_doc(doc), m_title(title), m_teacher(teacher)
{
}

bool TestPrintout::checkPrintable(const TestDocument &doc, const QString &title,
                                  const QString &teacher)
{
    // A text of blanks counts as filled.
    if (title.isEmpty() || teacher.isEmpty()) {
        MsgBox(QStringLiteral("Please fill in all fields before attempting to print this test."),
               MsgIcon::Critical);
        return false;
    }
    if (doc.questionCount() == 0) {
        MsgBox(QStringLiteral("There are no questions in this test."), MsgIcon::Critical);
        return false;
    }
    return true;
}

bool TestPrintout::print()
{
    if (!checkPrintable(m_doc, m_title, m_teacher))
        return false;
    if (!PrintHeader()) {
        m_printer.killDoc();
        setBusy(false);
        showError(kErrorPrintingTest);
        return false;
    }
    const int n = m_doc.questionCount();
    for (int i = 1; i <= n; ++i) {
        const QString &record = m_doc.record(i);
        bool ok = true;
        switch (QuestionRecord::kindOf(record)) {
        case QuestionKind::MultipleChoice: ok = PrintMultipleChoice(record, i); break;
        case QuestionKind::TrueFalse: ok = PrintTrueFalse(record, i); break;
        case QuestionKind::Unknown: break;   // skipped, but keeps its number
        }
        if (!ok) {
            // Half a test is no use on paper: the job is cancelled.
            m_printer.killDoc();
            setBusy(false);
            showError(kErrorPrintingTest);
            return false;
        }
    }
    const bool sent = PrintKey();
    setBusy(false);
    return sent;
}

bool TestPrintout::PrintHeader()
{
    PrintKeyWanted = MsgBox(QStringLiteral("Would you like to print a key also?"),
                            MsgIcon::Question, MsgButtons::YesNo)
        == MsgResult::Yes;
    // The window does not respond until the job is handed over: the
    // hourglass says so.
    setBusy(true);

    PrintSurface &p = m_printer;
    const auto header = [&]() -> bool {
        // The first output opens the print job.
        if (!p.print() || !p.print())
            return false;
        LeftMargin = 10;
        p.setFontName(kQuestionFont);
        p.setFontSize(8);
        p.setCurrentX(10);
        p.setCurrentY(10);
        if (!p.print(QStringLiteral("class/hour:") + QString(32, QLatin1Char(' '))
                     + QStringLiteral("name:")))
            return false;
        if (!p.drawLine({10, p.currentY()}, {p.scaleWidth() - 10, p.currentY()}, kPenDots))
            return false;
        if (!p.print())
            return false;
        p.setFontSize(12);
        p.setCurrentX(10);
        p.setCurrentY(p.currentY() + 1);
        p.setFontBold(true);
        if (!p.print(m_title))
            return false;
        p.setFontSize(8);
        p.setFontBold(false);
        p.setCurrentX(10);
        if (!p.print(m_teacher))
            return false;
        if (!p.drawLine({10, p.currentY()}, {p.scaleWidth() - 10, p.currentY()}, kPenDots))
            return false;
        return p.print();
    };
    if (!header()) {
        showError(QStringLiteral("Error initializing printer!"));
        return false;
    }
    return true;
}

QStringList TestPrintout::wrapQuestion(const QString &question, int number)
{
    QStringList lines;
    QString line = QString::number(number) + QStringLiteral(".  ");
    // Split at every single blank: two blanks in a row make an empty word.
    // An empty text has no words at all.
    if (!question.isEmpty()) {
        for (const QString &word : question.split(QLatin1Char(' '))) {
            line += word + QLatin1Char(' ');
            if (line.size() > kWrapColumn) {
                lines << line;
                line.clear();
            }
        }
    }
    lines << line;
    return lines;
}

QString TestPrintout::mediaHint(const QString &mediaField)
{
    // Paper cannot play what the screen plays: the student is told there
    // is something to hear or watch.
    switch (mediaKindOf(mediaField)) {
    case MediaKind::Wave: return QCoreApplication::translate("TestPrintout", "(This question has a sound.)");
    case MediaKind::Midi:
    case MediaKind::Mp3: return QCoreApplication::translate("TestPrintout", "(This question has a tune.)");
    case MediaKind::Avi:
    case MediaKind::Mpeg: return QCoreApplication::translate("TestPrintout", "(This question has a video.)");
    case MediaKind::None:
    case MediaKind::Picture: break;
    }
    return QString();
}

bool TestPrintout::printMediaHint(const QString &mediaField)
{
    const QString hint = mediaHint(mediaField);
    if (hint.isEmpty())
        return true;
    m_printer.setCurrentX(LeftMargin);
    return m_printer.print(QStringLiteral("    ") + hint);
}

bool TestPrintout::printQuestionText(const QString &question, int number)
{
    // A line break typed into the question starts its next line at the
    // margin too, like the lines the wrapping makes (the printer alone would
    // put it at the page's left edge).
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    for (const QString &line : wrapQuestion(question, number)) {
        for (const QString &part : line.split(breaks)) {
            m_printer.setCurrentX(LeftMargin);
            if (!m_printer.print(part))
                return false;
        }
    }
    return true;
}

QString TestPrintout::picturePath(const QString &mediaField) const
{
    if (mediaKindOf(mediaField) != MediaKind::Picture)
        return {};
    return MediaLookup::resolve(mediaField, m_doc.testFolder());
}

TestPrintout::SizedPicture TestPrintout::sizedPicture(const QString &mediaField, double room) const
{
    SizedPicture out;
    const QString path = picturePath(mediaField);
    if (path.isEmpty())
        return out;
    out.wanted = true;
    // Loaded once: its natural size on paper is both the measure for the page
    // break and the size it is drawn at. A metafile is a drawing: it is
    // drawn at 300 dots per inch for the paper rather than at screen size.
    LoadedPicture picture;
    const PictureInfo info = pictureInfo(path);
    if (info.format == QLatin1String("wmf") && info.isValid()) {
        const QSizeF mm = info.naturalSizeMm;
        const QSize dots(qBound(1, qRound(mm.width() * kMetafileDpi / 25.4), kMaxMetafileSide),
                         qBound(1, qRound(mm.height() * kMetafileDpi / 25.4), kMaxMetafileSide));
        picture.image = loadPictureScaled(path, dots, &picture.error);
        picture.naturalSizeMm = mm;
    } else {
        picture = loadPicture(path);
    }
    if (picture.isNull() || !picture.naturalSizeMm.isValid())
        return out;
    // A picture larger than the room a page has for it (inside the margins
    // the rules keep, under its question's text) is shrunk to it,
    // proportions kept; one that fits prints at its natural size.
    const QSizeF natural = picture.naturalSizeMm;
    const double scale = std::min({1.0, (m_printer.scaleWidth() - 2 * LeftMargin) / natural.width(),
                                   room / natural.height()});
    out.image = picture.image;
    out.size = QSizeF(natural.width() * scale, natural.height() * scale);
    return out;
}

bool TestPrintout::printQuestionWithMedia(const QuestionView &q, int number, double offsetY, double gapAfter)
{
    // The picture stands under its question's text, above its answers, so
    // that it is read as that question's (above the text, it followed the
    // previous question's answers). Text and picture go to the next page
    // together when they do not fit on this one.
    PrintSurface &p = m_printer;
    int lines = 1;   // the line saying what media it has, when it has any
    for (const QString &line : wrapQuestion(q.question(), number))
        lines += int(line.count(QLatin1Char('\n'))) + 1;
    const double textHeight = lines * p.textHeight();
    const SizedPicture picture = sizedPicture(q.media(), qMax(10.0, p.scaleHeight() - textHeight - offsetY));
    if (picture.wanted && picture.image.isNull())
        return false;
    if (!picture.image.isNull() && p.scaleHeight() - p.currentY() < textHeight + offsetY + picture.size.height()
        && !p.newPage())
        return false;
    if (!printQuestionText(q.question(), number) || !printMediaHint(q.media()))
        return false;
    if (picture.image.isNull())
        return true;
    if (p.scaleHeight() - p.currentY() < offsetY + picture.size.height() && !p.newPage())
        return false;
    const double y = p.currentY();
    if (!p.drawImage(picture.image, QRectF(LeftMargin, y + offsetY, picture.size.width(), picture.size.height())))
        return false;
    p.setCurrentY(y + offsetY + picture.size.height() + gapAfter);
    return true;
}

bool TestPrintout::printAnswer(const QString &letter, const QString &answer)
{
    // An answer wider than the paper goes on below itself, indented under
    // its first line's text, and keeps the right margin the rules keep.
    PrintSurface &p = m_printer;
    p.setCurrentX(LeftMargin);
    if (!p.print(letter, false))
        return false;
    const double indent = p.currentX();
    const QStringList lines = p.breakToWidth(answer, p.scaleWidth() - LeftMargin - indent);
    for (const QString &line : lines) {
        p.setCurrentX(indent);
        if (!p.print(line))
            return false;
    }
    return true;
}

bool TestPrintout::PrintMultipleChoice(const QString &record, int number)
{
    const QuestionView q(record);
    if (q.fieldCount() < QuestionRecord::MultipleChoiceFields) {
        showError(QStringLiteral("Cannot print this multiple choice question."));
        return true;
    }
    if (!printQuestionWithMedia(q, number, 1, 2))
        return false;
    static const char *const letters[] = {"  A.  ", "  B.  ", "  C.  ", "  D.  "};
    for (int k = 0; k < 4; ++k)
        if (!printAnswer(QLatin1String(letters[k]), q.answer(k)))
            return false;
    return m_printer.print();
}

bool TestPrintout::PrintTrueFalse(const QString &record, int number)
{
    const QuestionView q(record);
    if (q.fieldCount() < QuestionRecord::TrueFalseFields) {
        showError(QStringLiteral("There was an error printing this true/false question."));
        return true;
    }
    if (!printQuestionWithMedia(q, number, 5, 10))
        return false;

    PrintSurface &p = m_printer;
    p.setCurrentX(LeftMargin);
    const double bx = LeftMargin + 3;
    double by = roundMm(p.currentY() + 1);
    // The boxes with "True" and "False" are one printed line: when it does
    // not fit at the bottom of the page, the whole line goes to the top of
    // the next one (the words alone would leave their boxes behind).
    if (by - 1 + p.textHeight() > p.scaleHeight()) {
        if (!p.newPage())
            return false;
        by = roundMm(p.currentY() + 1);
    }
    if (!p.drawRect(QRectF(bx, by, 2, 2), kPenDots))
        return false;
    p.setCurrentX(bx + 4);
    p.setCurrentY(by - 1);
    if (!p.print(QStringLiteral("True")))
        return false;
    // The line end left x at 0, so the second box stands at 28 mm.
    const double bx2 = roundMm(p.currentX() + 28);
    if (!p.drawRect(QRectF(bx2, by, 2, 2), kPenDots))
        return false;
    p.setCurrentX(bx2 + 4);
    p.setCurrentY(by - 1);
    if (!p.print(QStringLiteral("False")))
        return false;
    return p.print();
}

QString TestPrintout::keyAnswer(const QString &record)
{
    // The question's kind is known here by its number of fields only.
    const QStringList f = QuestionRecord::fields(record);
    QString a;
    if (f.size() == QuestionRecord::MultipleChoiceFields) {
        a = ScoreLog::trimSpaces(f[7]);
        if (a == QLatin1String("0"))
            a = QStringLiteral("A.  ") + f[2];
        else if (a == QLatin1String("1"))
            a = QStringLiteral("B.  ") + f[3];
        else if (a == QLatin1String("2"))
            a = QStringLiteral("C.  ") + f[4];
        else if (a == QLatin1String("3"))
            a = QStringLiteral("D.  ") + f[5];
    } else if (f.size() == QuestionRecord::TrueFalseFields) {
        a = ScoreLog::trimSpaces(f[3]);
        if (a == QLatin1String("0"))
            a = QStringLiteral("True");
        else if (a == QLatin1String("1"))
            a = QStringLiteral("False");
    }
    // A record of neither shape gets its number and no answer.
    return ScoreLog::trimSpaces(a);
}

QString TestPrintout::keyLine(const QString &record, int number)
{
    return QuestionRecord::withSignPosition(number) + QStringLiteral(".      ") + keyAnswer(record);
}

bool TestPrintout::PrintKey()
{
    PrintSurface &p = m_printer;
    const auto key = [&]() -> bool {
        if (!PrintKeyWanted)
            return true;
        if (!p.newPage())
            return false;
        p.setCurrentX(10);
        p.setCurrentY(10);
        if (!p.print(QStringLiteral("Key for ") + m_title) || !p.print())
            return false;
        // Each answer starts where the widest number's line leaves it, so
        // the answers stand in one column from question 1 to question 100
        // (" 10." is a character longer than " 9.").
        const int n = m_doc.questionCount();
        const double answerX = 10 + p.textWidth(keyLine(QString(), n));
        for (int i = 1; i <= n; ++i) {
            const QString line = keyLine(m_doc.record(i), i);
            const QString number = keyLine(QString(), i);
            p.setCurrentX(10);
            if (!p.print(number, false))
                return false;
            p.setCurrentX(answerX);
            if (!p.print(line.mid(number.size())))
                return false;
        }
        return true;
    };
    if (!key()) {
        showError(QStringLiteral("Error printing this test."));
        // The questions are complete: what was printed is still sent.
        if (!p.endDoc())
            p.killDoc();
        return false;
    }
    if (!p.endDoc()) {
        showError(QStringLiteral("Error printing this test."));
        return false;
    }
    return true;
}
