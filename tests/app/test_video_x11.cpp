// A video made by the AVI maker from 8-bit bitmaps (the dialog's default,
// "Full Frames") shows its picture in the editor's media panel and in the
// preview, in real windows on the test X server: the screen inside the box
// shows the video's own pixels, not the box's background.
#include "avimaker/AviMaker.h"
#include "avimaker/ScriptedAviView.h"
#include "avimaker/BmpFixture.h"
#include "document/QuestionRecord.h"
#include "document/TestDocument.h"
#include "TestDoubles.h"
#include "media/VideoPictureAt.h"
#include "avimaker/cDIB.h"
#include "app/frmCreate.h"
#include "preview/frmPreview.h"
#include "media/modSound.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>


class TestVideoX11 : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString avi;
    QImage picture;    // what the video shows

    // Checks on the screen that the surface inside `box` shows the picture.
    void expectShown(QWidget *box, const QString &where)
    {
        QWidget *surface = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((surface = box->findChild<QWidget *>("mciVideoSurface")) && surface->isVisible(),
                                 10000);
        QTest::qWait(500);       // the X server has drawn it
        const QPoint origin = surface->mapToGlobal(QPoint(0, 0));
        const QImage screen = QGuiApplication::primaryScreen()
                                  ->grabWindow(0, origin.x(), origin.y(), surface->width(), surface->height())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
        const QString shot = QDir::temp().filePath("ardeno-video-" + where + ".png");
        QGuiApplication::primaryScreen()->grabWindow(0).save(shot);
        qInfo("screenshot: %s", qPrintable(shot));
        QCOMPARE(surface->size(), picture.size());         // smaller than the box: its own size
        const QColor background = box->palette().color(box->backgroundRole());
        int same = 0, notBackground = 0;
        for (int y = 2; y < picture.height(); y += 7)
            for (int x = 2; x < picture.width(); x += 7) {
                same += screen.pixel(x, y) == picture.pixel(x, y);
                notBackground += QColor(screen.pixel(x, y)) != background;
            }
        QVERIFY2(notBackground > 0, qPrintable(where + ": the box shows only its background"));
        QVERIFY2(same >= 40, qPrintable(where + QString(": %1 of the sampled pixels are the video's").arg(same)));
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariable("ARDENO_TEST_DISPLAY").isEmpty())
            QSKIP("ARDENO_TEST_DISPLAY is not set: no X server for this test (run it through scripts/run-tests.sh)");
        // The media kind is read after the first full stop of the whole path.
        if (dir.path().contains('.'))
            QSKIP("the temporary folder's path holds a full stop");
        QStringList frames;
        for (int seed = 0; seed < 2; ++seed) {
            BmpSpec s;
            s.width = 64;
            s.height = 48;
            s.bitCount = 8;
            s.seed = seed;
            frames << dir.filePath(QString("f%1.bmp").arg(seed));
            QVERIFY(writeBytes(frames.last(), makeBmp(s)));
        }
        avi = dir.filePath("eight.avi");
        ScriptedAviView view;
        ScopedPlatform platform;
        QCOMPARE(writeAviFromList(avi, frames, "1", view).status, long(AVIERR_OK));
        picture = videoPictureAt(avi, 0).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!picture.isNull());
    }

    void editorPanelShowsTheVideo()
    {
        ScopedPlatform platform;
        frmCreate w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        platform.dialogs.answer(avi);
        w.findChild<QPushButton *>("cmdMpic")->click();
        QVERIFY(platform.messages.shown.isEmpty());
        expectShown(w.findChild<QWidget *>("picPreview"), "editor");
        CloseAll();
    }

    void previewShowsTheVideo()
    {
        ScopedPlatform platform;
        TestDocument doc;
        QVERIFY(doc.append(QStringList({"m", "Watch", "a", "b", "c", "d", avi, "1"})
                               .join(QuestionRecord::FieldSeparator)));
        frmPreview *w = frmPreview::showPreview(doc, "Video", "Class 5", nullptr);
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(platform.messages.shown.isEmpty());
        expectShown(w->findChild<QWidget *>("picPic"), "preview");
        w->close();
    }
};

int main(int argc, char **argv)
{
    const QByteArray display = qgetenv("ARDENO_TEST_DISPLAY");
    if (!display.isEmpty()) {
        qputenv("DISPLAY", display);
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // No sound needed: keep off the test sound server the sound tests record.
    qputenv("PULSE_SERVER", "unix:/nonexistent/pulse-socket");
    QApplication app(argc, argv);
    TestVideoX11 test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_video_x11.moc"
