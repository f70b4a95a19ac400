// Printing a 100-question test with 20 pictures and its key to PDF, against
// a bare QPdfWriter program that draws the same text lines and pictures at
// the same places. Goal: at most 1.5 times the bare program's time.

#include "platform/MessageService.h"
#include "platform/Platform.h"
#include "print/PrintCommands.h"
#include "print/TestPrintout.h"
#include "document/QuestionRecord.h"
#include "document/TestDocument.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {
class YesMessages : public MessageService {
public:
    MsgResult show(const MessageRequest &r) override
    {
        return r.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }
};

// 20 pictures of about 60 x 45 mm: ten JPEG photos, ten bitmaps.
QStringList makePictures(const QString &dir)
{
    QStringList names;
    for (int i = 0; i < 20; ++i) {
        QImage img(640, 480, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                line[x] = qRgb((x * 255 / 640 + i * 13) % 256, (y * 255 / 480) % 256, (x ^ y) & 255);
        }
        const int dpm = qRound(270 / 0.0254);
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        const QString name = QString("pic%1.%2").arg(i).arg(i % 2 ? "bmp" : "jpg");
        img.save(QDir(dir).filePath(name), i % 2 ? "BMP" : "JPEG", 90);
        names << name;
    }
    return names;
}

TestDocument makeTest(const QStringList &pictures)
{
    TestDocument doc;
    const QString words = "Which of these cities is the capital of the country that lies "
                          "between the mountains and the sea, as the map in the atlas shows";
    for (int i = 1; i <= 100; ++i) {
        const QString media = i % 5 == 0 ? pictures[(i / 5 - 1) % pictures.size()] : "none";
        const QString q = QString("%1 (question %2)?").arg(words).arg(i);
        doc.append(i % 3 ? QuestionRecord::multipleChoice("m", q, "London", "Paris", "Rome", "Madrid",
                                                          media, i % 4)
                         : QuestionRecord::trueFalse("t", q, media, i % 2));
    }
    return doc;
}

// The bare program: QPdfWriter, the same font, lines and pictures, the same
// wrap and page flow, written straight without the print surface.
void barePdf(const QString &path, const TestDocument &doc)
{
    QPdfWriter pdf(path);
    pdf.setResolution(600);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter));
    QPainter p(&pdf);
    const double dpmm = 600 / 25.4;
    const double pageH = pdf.pageLayout().paintRect(QPageLayout::Millimeter).height();
    QFont font("courier new");
    font.setPointSizeF(8);
    p.setFont(font);
    const QFontMetricsF fm(font, &pdf);
    const double lh = fm.height() / dpmm;
    double y = 10;
    auto line = [&](const QString &text) {
        if (y + lh > pageH) { pdf.newPage(); y = 0; }
        p.drawText(QPointF(10 * dpmm, y * dpmm + fm.ascent()), text);
        y += lh;
    };
    line("class/hour:" + QString(32, ' ') + "name:");
    p.drawLine(QPointF(10 * dpmm, y * dpmm), QPointF(190 * dpmm, y * dpmm));
    line("");
    line("Benchmark Test");
    line("Teacher");
    p.drawLine(QPointF(10 * dpmm, y * dpmm), QPointF(190 * dpmm, y * dpmm));
    line("");
    for (int i = 1; i <= doc.questionCount(); ++i) {
        const QStringList f = QuestionRecord::fields(doc.record(i));
        const bool mc = f.size() == 8;
        const QString media = f[mc ? 6 : 2];
        if (QFileInfo::exists(media)) {
            QImage img(media);
            const double w = img.width() * 1000.0 / img.dotsPerMeterX();
            const double h = img.height() * 1000.0 / img.dotsPerMeterY();
            if (pageH - y < h) { pdf.newPage(); y = 0; }
            p.drawImage(QRectF(10 * dpmm, y * dpmm, w * dpmm, h * dpmm), img);
            y += h + 2;
        }
        for (const QString &l : TestPrintout::wrapQuestion(f[1], i))
            line(l);
        if (mc) {
            for (int k = 0; k < 4; ++k)
                line(QString("  %1.  ").arg(QChar('A' + k)) + f[2 + k]);
        } else {
            p.drawRect(QRectF(13 * dpmm, (y + 1) * dpmm, 2 * dpmm, 2 * dpmm));
            p.drawRect(QRectF(28 * dpmm, (y + 1) * dpmm, 2 * dpmm, 2 * dpmm));
            line("     True    False");
        }
        line("");
    }
    pdf.newPage();
    y = 10;
    line("Key for Benchmark Test");
    line("");
    for (int i = 1; i <= doc.questionCount(); ++i)
        line(TestPrintout::keyLine(doc.record(i), i));
}

template <typename F>
double medianMs(F f, int runs = 5)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        t.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const TestDocument doc = makeTest(makePictures(dir.path()));
    YesMessages messages;
    Platform::setMessages(&messages);

    const QString ours = dir.filePath("ours.pdf");
    const QString bare = dir.filePath("bare.pdf");
    const double oursMs = medianMs([&] {
        PrintCommands::printTestToPdfFile(ours, doc, "Benchmark Test", "Teacher");
    });
    const double bareMs = medianMs([&] { barePdf(bare, doc); });
    Platform::setMessages(nullptr);

    std::printf("print: 100 questions, 20 pictures, key -> PDF (median of 5)\n");
    std::printf("  ardeno printout : %8.1f ms  (%lld bytes)\n", oursMs,
                static_cast<long long>(QFileInfo(ours).size()));
    std::printf("  bare QPdfWriter : %8.1f ms  (%lld bytes)\n", bareMs,
                static_cast<long long>(QFileInfo(bare).size()));
    std::printf("  ratio           : %8.2f x  (goal <= 1.5 x)\n", oursMs / bareMs);
    return 0;
}
