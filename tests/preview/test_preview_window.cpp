// Drives the preview window through whole runs. The media player is replaced
// by a recorder (which also notes the window's colour and pointer at each
// call), the clock is fixed and the score sheet printer is a recorder, so the
// runs are fast and need no sound server or printer.

#include "pictures/PictureFit.h"
#include "widgets/PictureBox.h"
#include "preview/PreviewHooks.h"
#include "dialogs/QtMessageService.h"
#include "document/QuestionRecord.h"
#include "document/TestDocument.h"
#include "ControlLookup.h"
#include "TestDoubles.h"
#include "TestFiles.h"
#include "preview/frmPreview.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include "print/PrintSurface.h"

namespace {
struct RecordingMedia : PreviewMedia {
    QStringList calls;
    QList<QColor> colours;              // the window's background at each call
    QList<Qt::CursorShape> pointers;    // the window's pointer at each call

    void note(const QString &call)
    {
        calls << call;
        frmPreview *w = frmPreview::instance();
        colours << (w ? w->palette().color(QPalette::Window) : QColor());
        pointers << (w ? w->cursor().shape() : Qt::ArrowCursor);
        const QString shots = qEnvironmentVariable("ARDENO_PREVIEW_SHOTS");
        if (w && !shots.isEmpty() && call.startsWith("Resource 101"))
            w->grab().save(shots + "/right-answer-flash.png");
    }
    void closeAll() override { note("CloseAll"); }
    void playWave(const QString &p, const QString &m) override { note("PlayWave " + QFileInfo(p).fileName() + " " + m); }
    void playResourceSound(int id, const QString &m) override { note(QString("Resource %1 %2").arg(id).arg(m)); }
    void playAVI(const QString &p, QWidget *box, bool s) override
    { note(QString("PlayAVI %1 %2 %3").arg(QFileInfo(p).fileName(), box->objectName()).arg(s)); }
    void playMPEG(const QString &p, QWidget *box, bool s) override
    { note(QString("PlayMPEG %1 %2 %3").arg(QFileInfo(p).fileName(), box->objectName()).arg(s)); }
    void playMIDI(const QString &p) override { note("PlayMIDI " + QFileInfo(p).fileName()); }
    void playMP3(const QString &p) override { note("PlayMP3 " + QFileInfo(p).fileName()); }

    void clear() { calls.clear(); colours.clear(); pointers.clear(); }
    QStringList plays() const { QStringList r; for (auto &c : calls) if (c != "CloseAll") r << c; return r; }
};

struct FixedClock : PreviewClock {
    QDateTime at{QDate(2026, 12, 6), QTime(10, 0, 0)};
    QDateTime now() const override { return at; }
};

}

class PreviewWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<ScopedPlatform> platform;
    RecordingMedia media;
    FixedClock clock;
    QList<QStringList> printed;
    TestDocument doc;

    template <typename T = QWidget> T *child(const char *name)
    {
        T *c = frmPreview::instance() ? frmPreview::instance()->findChild<T *>(QLatin1String(name)) : nullptr;
        if (!c) qFatal("no child %s", name);
        return c;
    }
    QString text(const char *name) { return child<QLabel>(name)->text(); }
    QStringList texts(const QStringList &names) { return shown(*frmPreview::instance(), names); }
    void release(const char *option, Qt::MouseButton button = Qt::LeftButton)
    {
        // Through the window, as the platform delivers clicks, so that a press
        // the option ignores (any but the left button) still ends on it.
        auto *o = child<QRadioButton>(option);
        QWindow *window = o->window()->windowHandle();
        const QPoint at = o->mapTo(o->window(), QPoint(5, 5));
        QTest::mousePress(window, button, {}, at);
        QTest::mouseRelease(window, button, {}, at);
    }
    void writeFile(const QString &name, const QByteArray &bytes = "x") { writeBytes(dir.filePath(name), bytes); }
    // With ARDENO_PREVIEW_SHOTS set to a folder, the window is saved there as
    // a picture at a few moments of a run (for looking at it, not checked).
    // A picture, a sound and a video question, answered right, wrong and
    // wrong: each step in its own test, reached by answering the ones before.
    bool openThreeMediaQuestions()
    {
        doc.append(record({"m", "Capital of France?", "Rome", "Paris", "Oslo", "Bern", "wide.bmp", " 1"}),
                   "A wide strip of colour.");
        doc.append(record({"t", "The sky is green.", "tone.wav", " 1"}));
        doc.append(record({"m", "Watch this", "a", "b", "c", "d", dir.filePath("clip.avi"), " 3"}));
        return open();
    }

    void snapshot(const QString &name)
    {
        const QString folder = qEnvironmentVariable("ARDENO_PREVIEW_SHOTS");
        if (folder.isEmpty() || !frmPreview::instance()) return;
        QTest::qWait(200);
        frmPreview::instance()->grab().save(folder + "/" + name + ".png");
    }
    frmPreview *open() { return frmPreview::showPreview(doc, "Capitals", "Mr. Smith, class 5", nullptr); }

    static double luminance(QColor c)
    {
        const auto channel = [](double v) { v /= 255; return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
    }
    static double contrast(QColor a, QColor b)
    {
        const double x = luminance(a), y = luminance(b);
        return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
    }
    // The most frequent colour of a picture and the one that stands out
    // from it most: a text and its background, a frame and what it frames.
    static double strongestContrast(const QImage &image)
    {
        QHash<QRgb, int> counts;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ++counts[image.pixel(x, y)];
        QRgb background = counts.constBegin().key();
        for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
            if (it.value() > counts[background])
                background = it.key();
        double best = 1;
        for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
            best = std::max(best, contrast(QColor(background), QColor(it.key())));
        return best;
    }

private slots:
    // Measured from what the window draws: the score line at 4.5:1 at
    // least, a focused option's frame at 3:1 against what surrounds it.
    void theScoreLineAndTheFocusStandOut()
    {
        doc.append(record({"m", "Capital of France?", "Rome", "Paris", "Oslo", "Bern", "none", " 1"}));
        frmPreview *w = open();
        QVERIFY(w);
        auto *score = w->findChild<QLabel *>("lblScore");
        QVERIFY(strongestContrast(score->grab().toImage()) >= 4.5);
        auto *option = w->findChild<QWidget *>("optABCD_1");
        // The whole of the circle, its letter and the frame fit the button.
        for (int i = 0; i < 4; ++i) {
            auto *letter = w->findChild<QWidget *>(QStringLiteral("optABCD_%1").arg(i));
            QVERIFY2(letter->sizeHint().width() <= letter->width(),
                     qPrintable(QStringLiteral("%1 > %2").arg(letter->sizeHint().width()).arg(letter->width())));
        }
        option->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(option->hasFocus());
        const QImage focused = option->grab().toImage();
        const QColor frame = focused.pixelColor(0, focused.height() / 2);
        QVERIFY2(contrast(frame, frmPreview::LightBlue) >= 3.0, qPrintable(frame.name()));
    }

    void init()
    {
        platform = std::make_unique<ScopedPlatform>();
        media = RecordingMedia();
        PreviewHooks::setMedia(&media);
        PreviewHooks::setClock(&clock);
        printed.clear();
        PreviewHooks::setPrinter([this](const QString &a, const QString &b, const QString &c) { printed << QStringList{a, b, c}; });
        clock.at = QDateTime(QDate(2026, 12, 6), QTime(10, 0, 0));
        doc = TestDocument();
        doc.setTestFolder(dir.path() + "/");
        QImage wide(800, 200, QImage::Format_RGB32);
        wide.fill(QColor(240, 160, 40));
        QVERIFY(wide.save(dir.filePath("wide.bmp")));
        writeFile("tone.wav");
        writeFile("clip.avi");
        writeFile("Song.MID");
    }
    void cleanup()
    {
        if (auto *w = frmPreview::instance()) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        PreviewHooks::setMedia(nullptr);
        PreviewHooks::setClock(nullptr);
        PreviewHooks::setPrinter({});
        platform.reset();
    }

    // A whole run over both kinds with media: right, wrong, replay, report, Yes.
    // Question 1: the picture, found in the test's folder, shrunk into the
    // area the web quiz also fits into; a right answer is light blue while
    // chime 101 plays to its end.
    void pictureQuestionAnsweredRight()
    {
        QVERIFY(openThreeMediaQuestions());
        auto *pic = child<PictureBox>("picPic");
        QVERIFY(pic->isVisible());
        QCOMPARE(pic->pictureRect(), QRect(0, 101, 269, 67));
        QCOMPARE(pic->innerSize(), QSize(kPreviewPictureInner, kPreviewPictureInner));
        QCOMPARE(pic->accessibleDescription(), QString("A wide strip of colour."));
        QVERIFY(!child("cmdPreview")->isVisible());
        QCOMPARE(text("lblMAnswer_1"), QString("Paris"));
        snapshot("question1");

        release("optABCD_1");
        const int chime = media.calls.indexOf("Resource 101 sync");
        QVERIFY(chime >= 0);
        QCOMPARE(media.colours[chime], frmPreview::LightBlue);
        QCOMPARE(frmPreview::instance()->palette().color(QPalette::Window), frmPreview::WindowBlue);
        QCOMPARE(texts({"lblScore", "lblCount"}), QStringList({"Score: 1 correct of 3 total.", "Question # 2"}));
    }

    // Question 2: the wave sound played with waiting under the hourglass; a
    // wrong answer with the right mouse button buzzes 102 and names the
    // right one.
    void soundQuestionAnsweredWrong()
    {
        QVERIFY(openThreeMediaQuestions());
        release("optABCD_1");
        QVERIFY(child("grpTrueFalse")->isVisible());
        QVERIFY(!child("grpMultiple")->isVisible());
        QCOMPARE(text("lblTrueQuestion"), QString("The sky is green."));
        const int wave = media.calls.indexOf("PlayWave tone.wav sync");
        QVERIFY(wave > media.calls.indexOf("Resource 101 sync"));
        QCOMPARE(media.pointers[wave], Qt::WaitCursor);
        QCOMPARE(frmPreview::instance()->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(child<QPushButton>("cmdPreview")->text(), QString("Play Sound"));
        QVERIFY(child("cmdPreview")->isVisible());
        QVERIFY(!child<PictureBox>("picPic")->isVisible());
        snapshot("question2");

        media.clear();
        release("optTrueFalse_0", Qt::RightButton);
        QCOMPARE(media.plays().value(0), QString("Resource 102 async"));
        QCOMPARE(platform->messages.texts(), QStringList{"The correct answer was False."});
        QCOMPARE(platform->messages.shown[0].icon, MsgIcon::Critical);
        QCOMPARE(platform->messages.shown[0].title, QString("Ardenox"));
        QCOMPARE(text("lblScore"), QString("Score: 1 correct of 3 total."));
    }

    // Question 3: the video in the picture box, which the replay closes and
    // plays again; a wrong last answer gives its message, then the report,
    // and Yes prints the score sheet.
    void videoQuestionThenTheReport()
    {
        QVERIFY(openThreeMediaQuestions());
        release("optABCD_1");
        release("optTrueFalse_0");
        platform->messages.clear();
        QCOMPARE(media.plays().last(), QString("PlayAVI clip.avi picPic 1"));
        QCOMPARE(child<QPushButton>("cmdPreview")->text(), QString("Play Movie"));
        QVERIFY(child<PictureBox>("picPic")->isVisible());
        media.clear();
        QTest::mouseClick(child("cmdPreview"), Qt::LeftButton);
        QCOMPARE(media.calls, (QStringList{"CloseAll", "PlayAVI clip.avi picPic 1"}));
        QCOMPARE(media.pointers[1], Qt::WaitCursor);

        clock.at = clock.at.addSecs(95);
        release("optABCD_0");
        QCOMPARE(platform->messages.shown.size(), 2);
        QCOMPARE(platform->messages.shown[0].text, QString("The correct answer was D. d"));
        const MessageRequest report = platform->messages.shown[1];
        QCOMPARE(report.title, QString("Your Score!"));
        QVERIFY(report.icon == MsgIcon::None && report.buttons == MsgButtons::YesNo);
        QCOMPARE(report.text, QString("You got 1 correct out of 3 total questions.\r\n"
                                      "You scored 33 percent.\r\n"
                                      "You spent 1 minutes and 35 seconds on this quiz.\r\n\r\n"
                                      "Would you like to print your score?"));
        QCOMPARE(printed, QList<QStringList>({{"Student Name", "Test Name.....Teacher",
                                               "Score 1 of 3.  33%   Time spent 1 minutes and 35 seconds.  Test date:  "
                                                   + QLocale::system().toString(QDate(2026, 12, 6), QLocale::ShortFormat)}}));
        QVERIFY(!frmPreview::instance());
    }

    // The keyboard answers too: arrow keys only move the check; Space or
    // Enter on an option answers it, as a release of the mouse does.
    void optionsAnswerBySpaceAndEnter()
    {
        doc.append(record({"m", "Capital of France?", "Rome", "Paris", "Oslo", "Bern", "none", " 1"}));
        doc.append(record({"t", "The sky is green.", "none", " 1"}));
        doc.append(record({"t", "Last.", "none", " 0"}));
        QVERIFY(open());
        QWindow *window = frmPreview::instance()->windowHandle();
        frmPreview::instance()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTRY_VERIFY(child("optABCD_0")->hasFocus());   // the keyboard starts on the first option, not on Exit
        QTest::keyClick(window, Qt::Key_Down);   // the check moves to B: nothing answered
        QCOMPARE(texts({"lblScore", "lblCount"}), QStringList({"Score: 0 correct of 3 total.", "Question # 1"}));
        QVERIFY(child("optABCD_1")->hasFocus());
        QTest::keyClick(window, Qt::Key_Space);
        QCOMPARE(texts({"lblScore", "lblCount"}), QStringList({"Score: 1 correct of 3 total.", "Question # 2"}));
        QVERIFY(child("optTrueFalse_0")->hasFocus());
        QTest::keyClick(window, Qt::Key_Down);
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(texts({"lblScore", "lblCount"}), QStringList({"Score: 2 correct of 3 total.", "Question # 3"}));
        QTest::keyClick(window, Qt::Key_Escape);   // closes the preview
        QTRY_VERIFY(!frmPreview::instance());
    }

    void emptyTestIsRefused()
    {
        QCOMPARE(open(), nullptr);
        QVERIFY(!frmPreview::instance());
        QCOMPARE(platform->messages.shown.size(), 1);
        QCOMPARE(platform->messages.shown[0].icon, MsgIcon::Information);
        QVERIFY(platform->messages.shown[0].text.contains("no questions"));
    }

    void brokenRecordsKeepThePreviousQuestion()
    {
        doc.append(record({"m", "First", "a", "b", "c", "d", "Song.MID", "2"}));
        doc.append(record({"x", "not a question"}));
        doc.append(record({"m  3", "short"}));
        doc.append(record({"t", "Q", "missing.wav", "9"}));
        open();
        // Song.MID plays by kind, but the case-sensitive replay plays nothing.
        QCOMPARE(media.plays(), QStringList{"PlayMIDI Song.MID"});
        QCOMPARE(child<QPushButton>("cmdPreview")->text(), QString("Play Music"));
        media.clear();
        QTest::mouseClick(child("cmdPreview"), Qt::LeftButton);
        QCOMPARE(media.calls, QStringList{"CloseAll"});

        release("optABCD_2");
        // Unknown kind: the previous texts and right answer stay.
        QCOMPARE(texts({"lblCount", "lblMQuestion"}), QStringList({"Question # 2", "First"}));
        release("optABCD_2");
        // Too few fields: the message names field 0, no icon.
        QCOMPARE(platform->messages.shown.last().text,
                 QString("An error has occured.  Unable to process question m  3"));
        QCOMPARE(platform->messages.shown.last().icon, MsgIcon::None);
        release("optABCD_2");
        // A missing media file shows nothing; an index beyond the options
        // makes every answer an error that keeps the question.
        QVERIFY(!child("cmdPreview")->isVisible());
        media.clear();
        release("optTrueFalse_0");
        QCOMPARE(media.plays(), QStringList{"Resource 102 async"});
        QCOMPARE(platform->messages.shown.last().text, QString("There has been an error in this question."));
        QCOMPARE(platform->messages.shown.last().icon, MsgIcon::Critical);
        QCOMPARE(text("lblCount"), QString("Question # 4"));
        QVERIFY(frmPreview::instance());
    }

    // Yes through the real score sheet printing: to a PDF standing in for the
    // default printer, and with no printer at all.
    void scoreSheetThroughThePrinter()
    {
        PreviewHooks::setPrinter({});
        doc.append(record({"t", "One", "none", "0"}));
        const QString pdf = dir.filePath("score.pdf");
        PrintSurface::setDefaultPrinterOverride(pdf);
        open();
        release("optTrueFalse_0");
        QVERIFY(!frmPreview::instance());
        QVERIFY(QFileInfo(pdf).size() > 0);
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (!pdftotext.isEmpty()) {
            QProcess p;
            p.start(pdftotext, {"-layout", pdf, "-"});
            QVERIFY(p.waitForFinished(10000));
            // The printer's proportional font makes runs of blanks unreliable to read back.
            const QString out = QString::fromUtf8(p.readAllStandardOutput()).simplified();
            QVERIFY2(out.startsWith("Student Name Test Name.....Teacher Score 1 of 1. 100% "
                                    "Time spent 0 seconds. Test date: "), qPrintable(out));
        }

        // No printer at all: a PDF file is offered instead.
        PrintSurface::setDefaultPrinterOverride(QString());
        open();
        platform->dialogs.answer(QString());   // offered, and then not chosen
        release("optTrueFalse_0");
        PrintSurface::clearDefaultPrinterOverride();
        QVERIFY(platform->messages.texts().last().startsWith(QString("There is no printer set up on this computer.")));
        QCOMPARE(platform->messages.shown.last().icon, MsgIcon::Question);
        QVERIFY(!frmPreview::instance());
    }

};

QTEST_MAIN(PreviewWindowTest)
#include "test_preview_window.moc"
